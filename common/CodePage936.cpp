#include "common/CodePage936.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace rdp {

namespace {

// The encoder drops lone surrogates instead of marking them; mark them as it marks every
// other character it lacks.
QString WithLoneSurrogatesMarked(QStringView text) {
    QString marked = text.toString();
    for (qsizetype i = 0; i < marked.size(); ++i) {
        const QChar c = marked.at(i);
        if (c.isHighSurrogate() && i + 1 < marked.size() && marked.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            marked[i] = QLatin1Char('?');
        }
    }
    return marked;
}

} // namespace

bool IsAscii(QByteArrayView bytes) {
    unsigned char any = 0;
    for (const char c : bytes) {
        any |= static_cast<unsigned char>(c);
    }
    return any < 0x80;
}

QByteArray ToCodePage936(QStringView text) {
    QStringEncoder encoder("GBK");
    return encoder.encode(WithLoneSurrogatesMarked(text));
}

QString FromCodePage936(QByteArrayView bytes) {
    if (IsAscii(bytes)) {
        return QString::fromLatin1(bytes);
    }
    QStringDecoder decoder("GBK");
    return decoder.decode(bytes);
}

} // namespace rdp

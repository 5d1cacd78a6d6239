#include "common/CodePage936.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstdint>
#include <cstring>

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
    const char* p = bytes.data();
    qsizetype n = bytes.size();
    std::uint64_t any = 0;
    for (; n >= 8; n -= 8, p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        any |= word;
    }
    for (; n > 0; --n, ++p) {
        any |= static_cast<unsigned char>(*p);
    }
    return (any & 0x8080808080808080ULL) == 0;
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

#include "session/freerdp/handoff/ClipboardText.h"

#include <QStringDecoder>
#include <QtEndian>

namespace rdp::freerdp {
namespace {

QString WithLocalLineEnds(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

QByteArray UnicodeTextForRemote(const QString& text) {
    QString windows = WithLocalLineEnds(text);
    windows.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QByteArray out(static_cast<qsizetype>((windows.size() + 1) * 2), '\0');
    auto* units = reinterpret_cast<uchar*>(out.data());
    for (qsizetype i = 0; i < windows.size(); ++i) {
        qToLittleEndian<quint16>(windows.at(i).unicode(), units + i * 2);
    }
    return out; // the last unit stays 0: the terminator
}

QString UnicodeTextFromRemote(const QByteArray& data) {
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const qsizetype count = data.size() / 2;
    QString text;
    text.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        const quint16 unit = qFromLittleEndian<quint16>(bytes + i * 2);
        if (unit == 0) {
            break;
        }
        text.append(QChar(unit));
    }
    return WithLocalLineEnds(text);
}

QString AnsiTextFromRemote(const QByteArray& data) {
    const qsizetype end = data.indexOf('\0');
    const QByteArray bytes = end < 0 ? data : data.left(end);
    QStringDecoder gbk("GBK");
    return WithLocalLineEnds(gbk.isValid() ? QString(gbk.decode(bytes))
                                           : QString::fromLatin1(bytes));
}

} // namespace rdp::freerdp

#pragma once

#include <QByteArray>
#include <QString>

namespace rdp::freerdp {

// Clipboard text as it travels between this computer and the remote one: the remote side
// keeps Windows text (line ends CR LF, a terminating NUL), this side Qt text (line ends LF).

// Unicode text for the remote side: UTF-16LE with CR LF line ends and a NUL terminator.
QByteArray UnicodeTextForRemote(const QString& text);

// Unicode text from the remote side: UTF-16LE up to the first NUL (or the end; a dangling
// odd byte is dropped), CR LF line ends become LF.
QString UnicodeTextFromRemote(const QByteArray& data);

// 8-bit text from a remote side that offers no Unicode text: up to the first NUL, in the
// Chinese Windows code page (GBK, a superset of ASCII), CR LF line ends become LF.
QString AnsiTextFromRemote(const QByteArray& data);

} // namespace rdp::freerdp

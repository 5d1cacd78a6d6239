#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace rdp {

// Text in the ANSI code page 936 (GBK) of plain lines. Characters the code page lacks,
// lone surrogates included, become "?".
QByteArray ToCodePage936(QStringView text);
QString FromCodePage936(QByteArrayView bytes);

// Whether every byte is below 128 (ASCII reads the same in code page 936 and Latin-1).
bool IsAscii(QByteArrayView bytes);

} // namespace rdp

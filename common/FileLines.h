#pragma once

#include "common/Errors.h"

#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace RDP_basFile {

// Writes one line (encoded with its check when `encode`, else plain in code page 936)
// followed by CR LF. `overwrite` replaces the file (a read-only file is not replaced and
// the write fails); otherwise the line is appended, the file created when missing.
// 0 when written; -1 after the write-failure message was shown. A text whose digit sum
// would pass the six-digit check is refused.
int WriteFileLine(const QString& path, bool overwrite, const QString& text, bool encode);

// Reads line `lineNumber` (from 1; skipping stops at the first empty line) into `text`,
// verified and decoded when `decode`. 0 success (empty text for an empty line or past the
// end); -2 a non-empty line failed its check (text empty); -1 the file or the line could
// not be read (text unchanged). A missing file is created empty. Shows nothing.
int ReadFileLine(const QString& path, QString& text, std::int32_t lineNumber, bool decode);

// The write-failure message: "number:description", OK only, no icon, the program's title.
void ShowWriteFailure(const rdp::Error& error);

} // namespace RDP_basFile

namespace rdp {

// The next line of file content from `pos` (moved past it), without its line end: lines
// end with LF, a CR right before the LF (or at the end of the file) belongs to the line
// end. At the end of the content it gives an empty line and leaves `pos` there.
QByteArrayView NextLine(QByteArrayView content, qsizetype& pos);

// One line's bytes read as ReadFileLine reads them: the status and, unless -1, the text.
int ReadLineText(QByteArrayView line, bool decode, QString& text);

} // namespace rdp

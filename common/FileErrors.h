#pragma once

#include "common/Errors.h"

#include <QFileDevice>
#include <QString>

namespace rdp {

// Whether a file carries no write permission at all, or may not be written by this user:
// such a file is "read-only" and an overwrite must not replace it.
bool IsReadOnlyFile(const QString& path);

// The error to report when `path` could not be opened for writing.
Error OpenForWriteError(const QString& path);

// The error to report after a failed write or close of `file`.
Error WriteError(const QFileDevice& file);

} // namespace rdp

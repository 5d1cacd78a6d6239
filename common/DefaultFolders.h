#pragma once

#include <QString>

namespace rdp {

// The program folder as the program sees it: `dir` without a trailing "/", except that
// the root of a file system or of a mounted volume ends with "/".
QString ProgramFolderOf(const QString& dir);

// The folder of the run-location record: the build's machine-wide folder when one was
// set, else the user's state folder (~/.local/state/rdp-launcher/), created when missing.
// Ends with "/"; empty text when it cannot be had.
QString DefaultSystemFolder();

// The same folder's path without creating it; empty text when no folder is named.
QString DefaultSystemFolderPath();

} // namespace rdp

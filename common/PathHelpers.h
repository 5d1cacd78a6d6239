#pragma once

#include <QString>

namespace RDP_basFile {

// Whether `path` names an existing file (a folder answers false).
bool CheckFileExist(const QString& path);

// Deletes the file, read-only or not; false when it is missing or cannot be deleted.
bool RemoveFile(const QString& path);

// The mount point of the volume that holds `path`, without a trailing "/"; empty for the
// root file system, for a relative path, or when it cannot be told. So a folder is the
// root of a volume exactly when it equals GetPathDrive(folder) + "/".
QString GetPathDrive(const QString& path);

// The system folder (the folder of the run-location record), ending with "/"; empty when
// the platform has none.
QString GetSystemPath();

// The text before its first NUL character; the whole text when it has none.
QString CutAtNull(const QString& text);

// Ends a folder text with "/": unless its last character (spaces aside) already is one,
// trailing spaces are dropped and "/" appended.
void AddPathSlash(QString& folder);

} // namespace RDP_basFile

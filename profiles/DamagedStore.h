#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

namespace rdp::store {

// The file operations of setting a damaged store aside; tests replace them to make one
// of them fail.
struct FileOps {
    std::function<bool(const QString& from, const QString& to)> rename;
    std::function<bool(const QString& from, const QString& to)> copy;
    std::function<bool(const QString& path)> remove;
};
FileOps RealFileOps();

// "WinEx.DLL.damaged-20261207-193000": the name a damaged store is kept under, with
// "-2", "-3", ... added when that name is taken in `folder` (which ends with "/").
QString DamagedName(const QString& folder, const QString& fileName, const QDateTime& when);

// Moves the damaged store at `path` aside: renamed in its own folder, or else copied into
// `fallbackFolder` (ending with "/"; skipped when empty) and removed. Returns where it is
// kept now; empty text when it could be neither moved nor copied and removed, so that it
// stays at `path`. No profile is ever deleted.
QString SetAsideDamagedStore(const QString& path, const QString& fallbackFolder,
                             const QDateTime& when, const FileOps& ops = RealFileOps());

// The damaged-store message: "连接设置不正确！" and what the user is to do, naming where
// the damaged file is kept (`keptAt`), or that it stays at `path` when `keptAt` is empty.
QString DamagedStoreMessage(const QString& path, const QString& keptAt);

} // namespace rdp::store

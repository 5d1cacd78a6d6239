#include "profiles/ConnectParaStore.h"

#include "profiles/StoreLines.h"

#include "common/FileErrors.h"
#include "common/FileLines.h"

#include <QFileInfo>
#include <QSaveFile>

#include <new>

namespace RDP_basClient {

namespace {

// A new store may hold passwords: its owner alone may read it. A replaced one keeps the
// permissions it had.
QFileDevice::Permissions StorePermissions(const QString& path) {
    const QFileInfo existing(path);
    if (existing.exists()) {
        return existing.permissions();
    }
    return QFileDevice::ReadOwner | QFileDevice::WriteOwner;
}

// Writes the content beside the store and renames it over the store in one step.
void ReplaceStore(const QString& path, const QByteArray& content) {
    if (rdp::IsReadOnlyFile(path)) {
        throw rdp::MakeError(rdp::ErrorNumber::PermissionDenied);
    }
    const QFileDevice::Permissions permissions = StorePermissions(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw rdp::OpenForWriteError(path);
    }
    if (!file.setPermissions(permissions) || file.write(content) != content.size()) {
        throw rdp::WriteError(file);
    }
    if (!file.commit()) {
        throw rdp::WriteError(file);
    }
}

} // namespace

bool SaveConnectParaTo(const RDP_ConnectPara& list, const QString& path) {
    try {
        ReplaceStore(path, rdp::store::StoreContent(list));
        return true;
    } catch (const rdp::Error& error) {
        RDP_basFile::ShowWriteFailure(error); // once, whatever line or step failed
        return false;
    } catch (const std::bad_alloc&) {
        throw rdp::MakeError(rdp::ErrorNumber::OutOfMemory);
    }
}

bool SaveConnectPara(RDP_ConnectPara& list) {
    return SaveConnectParaTo(list, ConnectParaFilePath());
}

} // namespace RDP_basClient

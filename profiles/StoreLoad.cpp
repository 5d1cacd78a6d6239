#include "profiles/ConnectParaStore.h"

#include "profiles/DamagedStore.h"

#include "common/LogCategories.h"
#include "common/PathHelpers.h"
#include "common/Platform.h"
#include "common/RegularFile.h"

namespace RDP_basClient {

QString ConnectParaFilePath() {
    QString folder = rdp::platform().ProgramFolder();
    RDP_basFile::AddPathSlash(folder);
    return folder + QStringLiteral("WinEx.DLL");
}

bool ConnectParaFileExists() {
    return RDP_basFile::CheckFileExist(ConnectParaFilePath());
}

StoreResult LoadConnectPara(RDP_ConnectPara& list) {
    const QString path = ConnectParaFilePath();
    if (rdp::KindOf(path) == rdp::FileKind::Special) { // a FIFO, device or folder
        const rdp::Error special = rdp::NotRegularFileError(path);
        return StoreResult::Failed(StoreResult::Failure::Refused, special.number(),
                                   special.description());
    }
    if (!RDP_basFile::CheckFileExist(path)) {
        return {};
    }
    const StoreReadResult read = ReadConnectParaFile(path, list);
    if (read.ok()) {
        qCInfo(rdp::lcStore) << "read" << path << list.Count() << "profiles";
        return {};
    }
    if (read.unreadable) { // not damaged: nothing is known of it, so it is left as it is
        qCInfo(rdp::lcStore) << "unreadable:" << path << read.reason;
        return StoreResult::Failed(StoreResult::Failure::Refused, read.error,
                                   UnreadableStoreMessage(path, read.reason, read.error));
    }
    QString keptAt;
    if (RDP_basFile::CheckFileExist(path)) {
        keptAt = rdp::store::SetAsideDamagedStore(path, RDP_basFile::GetSystemPath(),
                                                  QDateTime::currentDateTime());
    }
    qCInfo(rdp::lcStore) << "damaged:" << path << "set aside as" << keptAt;
    return StoreResult::Failed(StoreResult::Failure::Refused, rdp::ErrorNumber::InvalidFileFormat,
                               rdp::store::DamagedStoreMessage(path, keptAt), keptAt);
}

} // namespace RDP_basClient

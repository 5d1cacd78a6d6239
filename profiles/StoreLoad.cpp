#include "profiles/ConnectParaStore.h"

#include "profiles/DamagedStore.h"

#include "common/LogCategories.h"
#include "common/PathHelpers.h"
#include "common/Platform.h"
#include "common/RegularFile.h"
#include "common/ShowMsg.h"

namespace RDP_basClient {

QString ConnectParaFilePath() {
    QString folder = rdp::platform().ProgramFolder();
    RDP_basFile::AddPathSlash(folder);
    return folder + QStringLiteral("WinEx.DLL");
}

bool ConnectParaFileExists() {
    return RDP_basFile::CheckFileExist(ConnectParaFilePath());
}

bool LoadConnectPara(RDP_ConnectPara& list) {
    const QString path = ConnectParaFilePath();
    if (rdp::KindOf(path) == rdp::FileKind::Special) { // a FIFO, device or folder
        RDP_basPublic::ShowMsg(rdp::NotRegularFileError(path).description(),
                               rdp::MsgStyle::Exclamation, rdp::ConnectTitle(), QString(), 0, true);
        return false;
    }
    if (!RDP_basFile::CheckFileExist(path)) {
        return true;
    }
    const StoreReadResult read = ReadConnectParaFile(path, list);
    if (read.ok()) {
        qCInfo(rdp::lcStore) << "read" << path << list.Count() << "profiles";
        return true;
    }
    if (read.unreadable) { // not damaged: nothing is known of it, so it is left as it is
        qCInfo(rdp::lcStore) << "unreadable:" << path << read.reason;
        RDP_basPublic::ShowMsg(UnreadableStoreMessage(path, read.reason, read.error),
                               rdp::MsgStyle::Exclamation, rdp::ConnectTitle(), QString(), 0, true);
        return false;
    }
    QString keptAt;
    if (RDP_basFile::CheckFileExist(path)) {
        keptAt = rdp::store::SetAsideDamagedStore(path, RDP_basFile::GetSystemPath(),
                                                  QDateTime::currentDateTime());
    }
    qCInfo(rdp::lcStore) << "damaged:" << path << "set aside as" << keptAt;
    RDP_basPublic::ShowMsg(rdp::store::DamagedStoreMessage(path, keptAt),
                           rdp::MsgStyle::Exclamation, rdp::ConnectTitle(), QString(), 0, true);
    return false;
}

} // namespace RDP_basClient

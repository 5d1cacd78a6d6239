#include "profiles/StoreTarget.h"

#include "profiles/ConnectParaStore.h"

#include "common/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace rdp::store {

namespace {

// The start of a file, enough for its first line's shape.
QByteArray FirstLine(const QString& path) {
    QByteArray head(256, '\0');
    try {
        const int fd = rdp::OpenRegularForRead(path);
        const ssize_t got = ::read(fd, head.data(), static_cast<size_t>(head.size()));
        ::close(fd);
        head.resize(got > 0 ? got : 0);
    } catch (const rdp::Error&) {
        head.clear();
    }
    const qsizetype end = head.indexOf('\n');
    return end < 0 ? head : head.first(end);
}

// A missing file at `path`: Nothing, unless the store is a link that now leads away from
// the file the list was read from or wrote.
Found Missing(const RDP_ConnectPara& list, const QString& storePath, const QString& path) {
    const bool link = QFileInfo(storePath).isSymLink();
    const bool moved =
        !list.StoredPath().isEmpty() &&
        QFileInfo(list.StoredPath()).absoluteFilePath() != QFileInfo(path).absoluteFilePath();
    return link && moved ? Found::Elsewhere : Found::Nothing;
}

} // namespace

bool LooksLikeStore(QByteArrayView firstLine) {
    const QByteArrayView line = firstLine.trimmed();
    if (line.size() < 12) {
        return false;
    }
    for (const char c : line) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

Inspection InspectStore(const RDP_ConnectPara& list, const QString& storePath, const QString& path,
                        RDP_ConnectPara& onDisk) {
    switch (rdp::KindOf(path)) {
    case rdp::FileKind::Missing:
        return Inspection{Missing(list, storePath, path)};
    case rdp::FileKind::Special:
        throw rdp::NotRegularFileError(path);
    case rdp::FileKind::Regular:
        break;
    }
    const QByteArray stamp = rdp::FileStamp(path);
    if (!stamp.isEmpty() && stamp == list.StoredStamp()) {
        return Inspection{Found::Unchanged};
    }
    const RDP_basClient::StoreReadResult read = RDP_basClient::ReadConnectParaFile(path, onDisk);
    if (read.unreadable) {
        return Inspection{Found::Unreadable, read.reason, read.error};
    }
    if (read.ok()) {
        return Inspection{Found::Store};
    }
    return Inspection{LooksLikeStore(FirstLine(path)) ? Found::DamagedStore : Found::NotAStore};
}

QString NotAStoreMessage(const QString& storePath, const QString& path) {
    QString where = storePath;
    if (QFileInfo(path).absoluteFilePath() != QFileInfo(storePath).absoluteFilePath()) {
        where += QStringLiteral("\r\n（它现在指向：") + path + QStringLiteral("）");
    }
    return QStringLiteral("没有保存：连接设置文件已被换成别的文件，它不是本程序读取的连接设置，"
                          "程序不会覆盖它：\r\n") +
           where +
           QStringLiteral("\r\n窗口中的修改仍然保留。请检查这个文件，把它移走或恢复后再保存。");
}

QString DamagedAtSaveMessage(const QString& keptAt, bool saved) {
    return QStringLiteral("保存时发现连接设置文件已损坏（可能被别的程序改动过），"
                          "损坏的文件已改名保存为：\r\n") +
           keptAt +
           (saved ? QStringLiteral("\r\n窗口中的连接已写入新的连接设置文件。")
                  : QStringLiteral("\r\n新的连接设置文件没有写成（原因见前一条提示），"
                                   "窗口中的修改仍然保留。"));
}

QString DamagedStaysMessage(const QString& path) {
    return QStringLiteral("没有保存：连接设置文件已损坏，而且无法移走：\r\n") + path +
           QStringLiteral("\r\n窗口中的修改仍然保留。请将它移走后再保存。");
}

} // namespace rdp::store

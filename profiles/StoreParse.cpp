#include "profiles/ConnectParaStore.h"

#include "profiles/StoreFields.h"
#include "profiles/StoreLines.h"
#include "profiles/StoreLock.h"

#include "common/FileLines.h"
#include "common/RegularFile.h"
#include "common/TextCodec.h"

#include <QFile>

#include <algorithm>

#include <unistd.h>

namespace RDP_basClient {

namespace {

struct Header {
    QString version;
    std::int32_t selection = 0;
};

void ReadHeader(const rdp::store::StoreFields& fields, Header& header) {
    header.version = fields.RawText(u"Version");
    header.selection = fields.Int(u"SelectIndex");
}

void ReadRecord(const rdp::store::StoreFields& fields, RDP_ConnectPara& list) {
    const QString name = fields.Text(u"ConnectName");
    const QString server = fields.Text(u"Server");
    const QString port = fields.Text(u"Port");
    RDP_ConnectParaItems& p = list.Add(name, server, port, QString(), QString(), 0, 0, 0);
    p.setUserName(fields.Text(u"UserName"));
    p.setPassword(fields.Text(u"Password"));
    p.setIsSavePassword(fields.Flag(u"IsSavePassword"));
    p.setDesktopSize(fields.Code(u"DesktopSize"));
    p.setColorDepth(fields.Code(u"ColorDepth"));
    p.setAudioMode(fields.Code(u"AudioMode"));
    p.setRedirectPrint(fields.Flag(u"RedirectPrint"));
    p.setRedirectDrives(fields.Flag(u"RedirectDrives"));
    p.setRedirectPorts(fields.Flag(u"RedirectPorts"));
    p.setSmartCards(fields.Flag(u"SmartCards"));
    p.setBitmapPeristence(fields.Flag(u"BitmapPeristence"));
    p.setCanAutoReconnect(fields.Flag(u"CanAutoReconnect"));
    p.setFullScreen(fields.Flag(u"FullScreen"));
    p.setHeight(fields.Code(u"Height"));
    p.setWidth(fields.Code(u"Width"));
}

StoreReadResult Damaged(int line, const QString& reason) {
    return {true, line, reason};
}

QString StatusReason(int status) {
    return status == rdp::codec::StatusCheckFailed
               ? QStringLiteral("校验数字不符")
               : QStringLiteral("无法读取（过短、含非数字字符或数字组大于 255）");
}

// The lines of a store file read in blocks, so that a large store needs no buffer (and no
// fresh memory) of its whole size. A line is valid until the next call.
class BlockLines {
public:
    explicit BlockLines(QFile& file) : file_(file) {}

    QByteArrayView Next() {
        while (!atEnd_ && buffer_.indexOf('\n', pos_) < 0) {
            buffer_.remove(0, pos_);
            pos_ = 0;
            Read();
        }
        return rdp::NextLine(buffer_, pos_);
    }

    // Reads the rest of the file; false when any read failed.
    bool Drain() {
        while (!atEnd_) {
            buffer_.clear();
            pos_ = 0;
            Read();
        }
        return !failed_;
    }

private:
    void Read() {
        constexpr qsizetype block = 256 * 1024;
        const qsizetype old = buffer_.size();
        buffer_.resize(old + block);
        qint64 got = file_.read(buffer_.data() + old, block);
        failed_ = failed_ || got < 0;
        got = std::max<qint64>(got, 0);
        atEnd_ = got == 0;
        buffer_.resize(old + got);
    }

    QFile& file_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool atEnd_ = false;
    bool failed_ = false;
};

template <typename NextLine>
StoreReadResult ParseLines(NextLine nextLine, RDP_ConnectPara& list, QStringList* decodedLines) {
    list.Clear();
    Header header;
    for (int n = 1;; ++n) {
        QString text;
        const int status = rdp::ReadLineText(nextLine(), true, text);
        if (status != rdp::codec::StatusOk) {
            return Damaged(n, StatusReason(status));
        }
        if (text.isEmpty()) {
            list.setVersion(header.version);
            list.setSelectIndex(header.selection);
            list.setSelectIndexOld(header.selection);
            return {};
        }
        if (decodedLines != nullptr) {
            decodedLines->append(text);
        }
        const rdp::store::StoreFields fields(text);
        try {
            if (n == 1) {
                ReadHeader(fields, header);
            } else {
                ReadRecord(fields, list);
            }
        } catch (const rdp::Error& error) {
            return Damaged(n, fields.lastKey().toString() + QStringLiteral("：") +
                                  error.description());
        }
    }
}

// Opens a regular file only: a FIFO or device would block or never end.
bool OpenToRead(QFile& file, StoreReadResult& why) {
    try {
        const int fd = rdp::OpenRegularForRead(file.fileName());
        if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            return true;
        }
        ::close(fd);
        why.reason = file.errorString();
        why.error = rdp::ErrorNumber::DeviceIO;
    } catch (const rdp::Error& error) {
        why.reason = error.description();
        why.error = error.number();
    }
    return false;
}

StoreReadResult Unreadable(StoreReadResult why, RDP_ConnectPara& list) {
    list.Clear();
    why.unreadable = true;
    return why;
}

} // namespace

StoreReadResult ParseConnectPara(QByteArrayView content, RDP_ConnectPara& list,
                                 QStringList* decodedLines) {
    qsizetype pos = 0;
    return ParseLines([&] { return rdp::NextLine(content, pos); }, list, decodedLines);
}

StoreReadResult ReadConnectParaFile(const QString& path, RDP_ConnectPara& list,
                                    QStringList* decodedLines) {
    QFile file(path);
    StoreReadResult why;
    if (!OpenToRead(file, why)) {
        return Unreadable(why, list);
    }
    const QByteArray stamp = rdp::FileStamp(file.handle()); // of the content read below
    const qsizetype decodedBefore = decodedLines != nullptr ? decodedLines->size() : 0;
    BlockLines lines(file);
    StoreReadResult result = ParseLines([&] { return lines.Next(); }, list, decodedLines);
    if (!lines.Drain()) { // a file that cannot be read whole is read as nothing
        if (decodedLines != nullptr) {
            decodedLines->resize(decodedBefore);
        }
        why.reason = file.errorString();
        why.error = rdp::ErrorNumber::DeviceIO;
        return Unreadable(why, list);
    }
    if (!result.damaged) {
        list.setStored(rdp::store::StoredProfiles(list));
        list.setStoredStamp(stamp);
        list.setStoredPath(rdp::store::StoreLock::WrittenPath(path));
    }
    return result;
}

int FindConnectName(const RDP_ConnectPara& list, const QString& name) {
    for (int i = 1; i <= list.Count(); ++i) {
        if (list.Item(i).ConnectName().compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return 0;
}

QString UnreadableStoreMessage(const QString& path, const QString& reason, int error) {
    QString text = QStringLiteral("无法读取连接设置文件（%1）：\r\n%2\r\n程序没有改动这个文件。")
                       .arg(reason, path);
    if (error == rdp::ErrorNumber::PermissionDenied) {
        text += QStringLiteral("它可能属于另一个用户：请文件的所有者或管理员给您读写它的权限，"
                               "或把程序放到您自己的文件夹中运行。");
    }
    return text;
}

} // namespace RDP_basClient

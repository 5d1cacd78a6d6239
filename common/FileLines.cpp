#include "common/FileLines.h"

#include "common/CodePage936.h"
#include "common/FileErrors.h"
#include "common/Platform.h"
#include "common/RegularFile.h"
#include "common/ShowMsg.h"
#include "common/TextCodec.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

#include <unistd.h>

namespace RDP_basFile {

namespace {

void Overwrite(const QString& path, const QByteArray& line) {
    if (QFileInfo::exists(path)) {
        if (rdp::KindOf(path) == rdp::FileKind::Special) {
            throw rdp::NotRegularFileError(path);
        }
        if (rdp::IsReadOnlyFile(path)) {
            throw rdp::MakeError(rdp::ErrorNumber::PermissionDenied);
        }
        if (!QFile::remove(path)) {
            throw rdp::OpenForWriteError(path);
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw rdp::OpenForWriteError(path);
    }
    if (file.write(line) != line.size() || !file.flush()) {
        throw rdp::WriteError(file);
    }
}

void Append(const QString& path, const QByteArray& line) {
    const int fd = rdp::OpenRegularForAppend(path, 0644);
    try {
        rdp::WriteAll(fd, line);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0) {
        throw rdp::ErrorFromErrno(errno);
    }
}

} // namespace

int WriteFileLine(const QString& path, bool overwrite, const QString& text, bool encode) {
    try {
        QByteArray line = encode ? rdp::codec::EncodeLine(text) : rdp::ToCodePage936(text);
        line += "\r\n";
        if (overwrite) {
            Overwrite(path, line);
        } else {
            Append(path, line);
        }
        return 0;
    } catch (const rdp::Error& error) {
        ShowWriteFailure(error);
        return -1;
    }
}

int ReadFileLine(const QString& path, QString& text, std::int32_t lineNumber, bool decode) {
    QByteArray content;
    try {
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
            QFile created(path);
            if (!created.open(QIODevice::WriteOnly)) {
                return rdp::codec::StatusUnreadable;
            }
        }
        content = rdp::ReadRegularFile(path);
    } catch (const rdp::Error&) {
        return rdp::codec::StatusUnreadable;
    }
    qsizetype pos = 0;
    QByteArrayView line = rdp::NextLine(content, pos);
    for (std::int32_t n = 1; n < lineNumber && !line.isEmpty(); ++n) {
        line = rdp::NextLine(content, pos);
    }
    return rdp::ReadLineText(line, decode, text);
}

void ShowWriteFailure(const rdp::Error& error) {
    rdp::MsgBox(QString::number(error.number()) + QLatin1Char(':') + error.description(),
                rdp::MsgStyle::OkOnly);
}

} // namespace RDP_basFile

namespace rdp {

QByteArrayView NextLine(QByteArrayView content, qsizetype& pos) {
    const qsizetype end = content.indexOf('\n', pos);
    const qsizetype stop = end < 0 ? content.size() : end;
    QByteArrayView line = content.sliced(pos, stop - pos);
    if (line.endsWith('\r')) {
        line.chop(1);
    }
    pos = end < 0 ? content.size() : end + 1;
    return line;
}

int ReadLineText(QByteArrayView line, bool decode, QString& text) {
    if (!decode) {
        text = FromCodePage936(line);
        return codec::StatusOk;
    }
    if (IsAscii(line)) {
        return codec::DecodeLine(line, text);
    }
    return codec::DecodeLine(FromCodePage936(line), text);
}

} // namespace rdp

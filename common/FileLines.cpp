#include "common/FileLines.h"

#include "common/CodePage936.h"
#include "common/FileErrors.h"
#include "common/Platform.h"
#include "common/ShowMsg.h"
#include "common/TextCodec.h"

#include <QFile>
#include <QFileInfo>

namespace RDP_basFile {

namespace {

void OpenForWrite(QFile& file, bool overwrite) {
    const QString path = file.fileName();
    if (overwrite && QFileInfo::exists(path)) {
        if (rdp::IsReadOnlyFile(path)) {
            throw rdp::MakeError(rdp::ErrorNumber::PermissionDenied);
        }
        if (!QFile::remove(path)) {
            throw rdp::OpenForWriteError(path);
        }
    }
    const auto mode = overwrite ? QIODevice::WriteOnly : QIODevice::Append;
    if (!file.open(mode)) {
        throw rdp::OpenForWriteError(path);
    }
}

} // namespace

int WriteFileLine(const QString& path, bool overwrite, const QString& text, bool encode) {
    try {
        QByteArray line = encode ? rdp::codec::EncodeLine(text) : rdp::ToCodePage936(text);
        line += "\r\n";
        QFile file(path);
        OpenForWrite(file, overwrite);
        if (file.write(line) != line.size() || !file.flush()) {
            throw rdp::WriteError(file);
        }
        file.close();
        return 0;
    } catch (const rdp::Error& error) {
        ShowWriteFailure(error);
        return -1;
    }
}

int ReadFileLine(const QString& path, QString& text, std::int32_t lineNumber, bool decode) {
    QFile file(path);
    if (!file.exists() && !file.open(QIODevice::WriteOnly)) {
        return rdp::codec::StatusUnreadable;
    }
    file.close();
    if (!file.open(QIODevice::ReadOnly)) {
        return rdp::codec::StatusUnreadable;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
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

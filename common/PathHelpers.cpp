#include "common/PathHelpers.h"

#include "common/Platform.h"
#include "common/TextHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace RDP_basFile {

bool CheckFileExist(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool RemoveFile(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || info.isDir() || !(info.exists() || info.isSymLink())) {
        return false;
    }
    return QFile::remove(path);
}

QString GetPathDrive(const QString& path) {
    if (!QDir::isAbsolutePath(path)) {
        return QString();
    }
    // The volume is that of the nearest folder that exists.
    QString existing = QDir::cleanPath(path);
    while (!QFileInfo::exists(existing) && existing != QStringLiteral("/")) {
        existing = QFileInfo(existing).path();
    }
    const QStorageInfo volume(existing);
    if (!volume.isValid()) {
        return QString();
    }
    QString root = volume.rootPath();
    while (root.endsWith(QLatin1Char('/'))) {
        root.chop(1);
    }
    return root;
}

QString GetSystemPath() {
    QString folder = rdp::platform().SystemFolder();
    if (folder.isEmpty()) {
        return folder;
    }
    folder = CutAtNull(folder);
    AddPathSlash(folder);
    return folder;
}

QString CutAtNull(const QString& text) {
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    return nul < 0 ? text : text.first(nul);
}

void AddPathSlash(QString& folder) {
    const QStringView trimmed = RDP_basPublic::TrimSpaces(folder);
    if (trimmed.endsWith(u'/')) {
        return;
    }
    qsizetype end = folder.size();
    while (end > 0 && folder.at(end - 1) == u' ') {
        --end;
    }
    folder.truncate(end);
    folder += QLatin1Char('/');
}

} // namespace RDP_basFile

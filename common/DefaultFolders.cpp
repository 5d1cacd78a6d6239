#include "common/DefaultFolders.h"

#include "Version.h"

#include <QDir>
#include <QStorageInfo>

namespace rdp {

QString ProgramFolderOf(const QString& dir) {
    QString folder = QDir::cleanPath(dir);
    if (folder.isEmpty()) {
        return folder;
    }
    if (folder == QStringLiteral("/") || QStorageInfo(folder).rootPath() == folder) {
        if (!folder.endsWith(QLatin1Char('/'))) {
            folder += QLatin1Char('/');
        }
    }
    return folder;
}

namespace {

QString StateHome() {
    const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) {
        return xdg;
    }
    return QDir::homePath() + QStringLiteral("/.local/state");
}

} // namespace

QString DefaultSystemFolder() {
    QString folder = QString::fromUtf8(SystemFolderOverride);
    if (folder.isEmpty()) {
        folder = StateHome() + QStringLiteral("/rdp-launcher");
    }
    if (!QDir().mkpath(folder)) {
        return QString();
    }
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return folder;
}

} // namespace rdp

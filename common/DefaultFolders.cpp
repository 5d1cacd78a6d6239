#include "common/DefaultFolders.h"

#include "Version.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <pwd.h>
#include <unistd.h>

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

// The user's home: $HOME, else the password database's; empty when neither names one.
QString HomeFolder() {
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home)) {
        return home;
    }
    const passwd* user = ::getpwuid(::getuid());
    if (user == nullptr || user->pw_dir == nullptr || user->pw_dir[0] != '/') {
        return QString();
    }
    return QFile::decodeName(user->pw_dir);
}

QString StateHome() {
    const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) {
        return xdg;
    }
    const QString home = HomeFolder();
    return home.isEmpty() ? QString() : home + QStringLiteral("/.local/state");
}

} // namespace

QString DefaultSystemFolderPath() {
    QString folder = QString::fromUtf8(SystemFolderOverride);
    if (folder.isEmpty()) {
        const QString state = StateHome();
        if (state.isEmpty()) {
            return QString(); // never a folder relative to wherever the program was started
        }
        folder = state + QStringLiteral("/rdp-launcher");
    }
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return folder;
}

QString DefaultSystemFolder() {
    const QString folder = DefaultSystemFolderPath();
    return folder.isEmpty() || !QDir().mkpath(folder) ? QString() : folder;
}

} // namespace rdp

#include "profiles/DamagedStore.h"

#include "common/PathHelpers.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace rdp::store {

FileOps RealFileOps() {
    return FileOps{
        [](const QString& from, const QString& to) {
            // A plain rename: QFile::rename would fall back to copying, which is the
            // second way below and must not leave the original behind on its own.
            return std::rename(QFile::encodeName(from).constData(),
                               QFile::encodeName(to).constData()) == 0;
        },
        [](const QString& from, const QString& to) { return QFile::copy(from, to); },
        [](const QString& path) { return RDP_basFile::RemoveFile(path); },
    };
}

namespace {

// A damaged store may hold passwords: its copy is readable by its owner at most.
void KeepPrivate(const QString& path) {
    QFile::setPermissions(path, QFile::permissions(path) &
                                    (QFileDevice::ReadOwner | QFileDevice::WriteOwner));
}

} // namespace

QString DamagedName(const QString& folder, const QString& fileName, const QDateTime& when) {
    const QString base = folder + fileName + QStringLiteral(".damaged-") +
                         when.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString name = base;
    for (int n = 2; QFileInfo::exists(name) || QFileInfo(name).isSymLink(); ++n) {
        name = base + QLatin1Char('-') + QString::number(n);
    }
    return name;
}

QString SetAsideDamagedStore(const QString& path, const QString& fallbackFolder,
                             const QDateTime& when, const FileOps& ops) {
    const QFileInfo info(path);
    QString folder = info.path();
    RDP_basFile::AddPathSlash(folder);
    const QString beside = DamagedName(folder, info.fileName(), when);
    if (ops.rename(path, beside)) {
        KeepPrivate(beside);
        return beside;
    }
    if (fallbackFolder.isEmpty()) {
        return QString();
    }
    const QString copy = DamagedName(fallbackFolder, info.fileName(), when);
    if (!ops.copy(path, copy)) {
        return QString();
    }
    if (!ops.remove(path)) {
        QFile::remove(copy); // the store stays where it is; one copy of it is enough
        return QString();
    }
    KeepPrivate(copy);
    return copy;
}

QString DamagedStoreMessage(const QString& path, const QString& keptAt) {
    const QString head = QStringLiteral("连接设置不正确！所有连接需要重新设置。");
    if (keptAt.isEmpty()) {
        return head + QStringLiteral("损坏的设置文件无法移走，仍在：\r\n") + path +
               QStringLiteral("\r\n请将它移走后再启动程序。");
    }
    return head + QStringLiteral("损坏的设置文件已保存为：\r\n") + keptAt;
}

} // namespace rdp::store

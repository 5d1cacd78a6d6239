#include "session/freerdp/link/LocalDevices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>

#include <pwd.h>
#include <unistd.h>
#include <utility>

namespace rdp::freerdp {
namespace {

// "ttyS10" sorts after "ttyS2": by the name without its number, then by the number.
std::pair<QString, int> SortKey(const QString& name) {
    qsizetype digits = name.size();
    while (digits > 0 && name[digits - 1].isDigit()) {
        --digits;
    }
    return {name.left(digits), name.mid(digits).toInt()};
}

// The device nodes whose names start with one of `prefixes`. Matched by hand: Qt's name
// filters would compile regular expressions (half a megabyte of the session's memory).
QStringList SortedDevices(const QString& devRoot, const QStringList& prefixes) {
    QStringList names = QDir(devRoot).entryList(QDir::System | QDir::Files);
    names.removeIf([&](const QString& name) {
        return std::none_of(prefixes.begin(), prefixes.end(),
                            [&](const QString& prefix) { return name.startsWith(prefix); });
    });
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return SortKey(a) < SortKey(b); });
    return names;
}

bool UartPresent(const QString& sysRoot, const QString& name) {
    QFile type(sysRoot + QLatin1Char('/') + name + QStringLiteral("/type"));
    if (!type.open(QIODevice::ReadOnly)) {
        return false;
    }
    // 0 is the kernel's "unknown port": no hardware behind the device node.
    return type.readAll().trimmed() != "0";
}

// Drive names travel as 8-bit text: keep letters, digits, '-' and '_' so that the remote
// side shows the name and not a row of question marks.
QString DriveName(const QString& label) {
    QString name;
    for (const QChar c : label) {
        const bool plain = c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'-' || c == u'_');
        name += plain ? c : QChar(u'_');
    }
    const bool readable = std::any_of(name.begin(), name.end(), [](QChar c) {
        return c.unicode() < 0x80 && c.isLetterOrNumber();
    });
    return readable ? name : QStringLiteral("Media");
}

QStringList SubFolders(const QString& path) {
    QStringList paths;
    const QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        paths << dir.filePath(name);
    }
    return paths;
}

bool IsMountPoint(const QString& path) {
    return QStorageInfo(path).rootPath() == path;
}

// Desktops mount a volume at <root>/<user>/<label>; older setups mount it at <root>/<label>
// next to empty placeholders such as cdrom, which count only while something is mounted.
QStringList MediaFolders(const QStringList& roots, const QString& user) {
    QStringList folders;
    for (const QString& root : roots) {
        for (const QString& path : SubFolders(root)) {
            if (QFileInfo(path).fileName() == user) {
                folders << SubFolders(path);
            } else if (IsMountPoint(path)) {
                folders << path;
            }
        }
    }
    return folders;
}

void AddDrive(std::vector<LocalDrive>& drives, const QString& label, const QString& path) {
    const QString base = DriveName(label);
    QString name = base;
    for (int n = 2; std::any_of(drives.begin(), drives.end(),
                                [&](const LocalDrive& d) { return d.name == name; });
         ++n) {
        name = base + QString::number(n);
    }
    drives.push_back({name, path});
}

} // namespace

std::vector<LocalDrive> DiscoverDrives(const QString& home, const QString& user,
                                       const QStringList& mediaRoots) {
    std::vector<LocalDrive> drives;
    if (!home.isEmpty() && home != QStringLiteral("/") && QFileInfo(home).isDir()) {
        AddDrive(drives, QStringLiteral("Home"), home);
    }
    for (const QString& path : MediaFolders(mediaRoots, user)) {
        AddDrive(drives, QFileInfo(path).fileName(), path);
    }
    return drives;
}

std::vector<LocalDrive> DiscoverDrives() {
    const passwd* pw = getpwuid(getuid());
    return DiscoverDrives(QDir::homePath(), pw ? QString::fromLocal8Bit(pw->pw_name) : QString());
}

std::vector<LocalPort> DiscoverPorts(const QString& devRoot, const QString& sysRoot) {
    std::vector<LocalPort> ports;
    int com = 0;
    for (const QString& name : SortedDevices(devRoot, {QStringLiteral("ttyS")})) {
        if (UartPresent(sysRoot, name)) {
            ports.push_back({QStringLiteral("serial"), QStringLiteral("COM%1").arg(++com),
                             devRoot + QLatin1Char('/') + name});
        }
    }
    for (const QString& name :
         SortedDevices(devRoot, {QStringLiteral("ttyUSB"), QStringLiteral("ttyACM")})) {
        ports.push_back({QStringLiteral("serial"), QStringLiteral("COM%1").arg(++com),
                         devRoot + QLatin1Char('/') + name});
    }
    int lpt = 0;
    for (const QString& name : SortedDevices(devRoot, {QStringLiteral("lp")})) {
        ports.push_back({QStringLiteral("parallel"), QStringLiteral("LPT%1").arg(++lpt),
                         devRoot + QLatin1Char('/') + name});
    }
    return ports;
}

bool SmartCardServiceAvailable() {
    const QString socket =
        qEnvironmentVariable("PCSCLITE_CSOCK_NAME", QStringLiteral("/run/pcscd/pcscd.comm"));
    return QFileInfo::exists(socket);
}

} // namespace rdp::freerdp

#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace rdp::freerdp {

// A serial or parallel port of this computer, under the name the remote computer sees.
struct LocalPort {
    QString kind; // "serial" or "parallel"
    QString name; // COM1, COM2, … / LPT1, …
    QString path; // /dev/ttyS0, /dev/ttyUSB0, /dev/lp0, …
};

// The ports that exist here. Built-in serial ports count only when the kernel found a UART
// behind them (every Linux has /dev/ttyS0..31). `devRoot` and `sysRoot` are for tests.
std::vector<LocalPort> DiscoverPorts(const QString& devRoot = QStringLiteral("/dev"),
                                     const QString& sysRoot = QStringLiteral("/sys/class/tty"));

// A folder of this computer shared with the remote computer as a drive.
struct LocalDrive {
    QString name; // what the remote file manager shows: "Home", a volume's label
    QString path;
};

// The folders a user gets as drives: the home folder, then the removable media mounted under
// `/media/<user>`, `/run/media/<user>` and directly under `/media`, each named after its
// volume. Never the root file system. `mediaRoots` is for tests.
std::vector<LocalDrive> DiscoverDrives(const QString& home, const QString& user,
                                       const QStringList& mediaRoots = {
                                           QStringLiteral("/media"), QStringLiteral("/run/media")});

// The drives of the user running this program.
std::vector<LocalDrive> DiscoverDrives();

// Whether the PC/SC service is reachable; without it smart cards are not offered, so that
// a computer without the service still connects.
bool SmartCardServiceAvailable();

} // namespace rdp::freerdp

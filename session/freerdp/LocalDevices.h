#pragma once

#include <QString>

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

// Whether the PC/SC service is reachable; without it smart cards are not offered, so that
// a computer without the service still connects.
bool SmartCardServiceAvailable();

} // namespace rdp::freerdp

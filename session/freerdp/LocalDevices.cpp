#include "session/freerdp/LocalDevices.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
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

QStringList SortedDevices(const QString& devRoot, const QStringList& patterns) {
    QStringList names = QDir(devRoot).entryList(patterns, QDir::System | QDir::Files);
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

} // namespace

std::vector<LocalPort> DiscoverPorts(const QString& devRoot, const QString& sysRoot) {
    std::vector<LocalPort> ports;
    int com = 0;
    for (const QString& name : SortedDevices(devRoot, {QStringLiteral("ttyS*")})) {
        if (UartPresent(sysRoot, name)) {
            ports.push_back({QStringLiteral("serial"), QStringLiteral("COM%1").arg(++com),
                             devRoot + QLatin1Char('/') + name});
        }
    }
    for (const QString& name :
         SortedDevices(devRoot, {QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")})) {
        ports.push_back({QStringLiteral("serial"), QStringLiteral("COM%1").arg(++com),
                         devRoot + QLatin1Char('/') + name});
    }
    int lpt = 0;
    for (const QString& name : SortedDevices(devRoot, {QStringLiteral("lp*")})) {
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

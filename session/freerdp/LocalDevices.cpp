#include "session/freerdp/LocalDevices.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace rdp::freerdp {
namespace {

QStringList SortedDevices(const QString& devRoot, const QStringList& patterns) {
    QStringList names = QDir(devRoot).entryList(patterns, QDir::System | QDir::Files);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(names.begin(), names.end(),
              [&](const QString& a, const QString& b) { return numeric.compare(a, b) < 0; });
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

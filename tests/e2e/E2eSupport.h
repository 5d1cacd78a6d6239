#pragma once

#include "session/RdpControlFactory.h"
#include "session/freerdp/FreeRdpControl.h"

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace rdp::test {

// Runs a server script's "start" and reads the key=value lines it prints; false (after a
// warning) when the script fails or outlives `timeoutMs`.
inline bool StartServerScript(const QString& script, const QStringList& arguments, int timeoutMs,
                              QMap<QString, QString>& values) {
    QProcess p;
    p.start(script, arguments);
    if (!p.waitForFinished(timeoutMs) || p.exitCode() != 0) {
        qWarning("%s did not start: %s", qPrintable(script), p.readAllStandardError().constData());
        return false;
    }
    values.clear();
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0) {
            values.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
        }
    }
    return true;
}

// Session windows get the real control with its own certificate store, which accepts every
// certificate once; `control` follows the control last made.
inline void InstallAcceptingControls(const QString& configPath,
                                     rdp::freerdp::FreeRdpControl*& control) {
    using namespace rdp::freerdp;
    rdp::SetRdpControlFactory([configPath, &control](QWidget* parent) {
        control = new FreeRdpControl(parent);
        control->setConfigPath(configPath);
        control->setCertificateAsker(
            [](QWidget*, const CertificateQuestion&, CertificateReply reply) {
                reply(CertificateAnswer::AcceptOnce);
                return static_cast<QWidget*>(nullptr);
            });
        return control;
    });
}

} // namespace rdp::test

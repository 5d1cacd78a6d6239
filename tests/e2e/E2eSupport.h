#pragma once

#include "session/RdpControlFactory.h"
#include "session/freerdp/FreeRdpControl.h"

#include <QImage>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdlib>

namespace rdp::test {

// The share of sampled pixels near `colour` (15- and 16-bit colour lose the low bits of
// each channel).
inline double ColourShare(QRgb colour, const QImage& image) {
    int hits = 0;
    int all = 0;
    const auto near = [](int a, int b) {
        return std::abs(a - b) < 9;
    };
    for (int y = 0; y < image.height(); y += 9) {
        for (int x = 0; x < image.width(); x += 9) {
            ++all;
            const QRgb p = image.pixel(x, y);
            const bool hit = near(qRed(p), qRed(colour)) && near(qGreen(p), qGreen(colour)) &&
                             near(qBlue(p), qBlue(colour));
            hits += hit ? 1 : 0;
        }
    }
    return all == 0 ? 0.0 : static_cast<double>(hits) / all;
}

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
// certificate once; `control` follows the control last made. A `reconnectSpanMs` above 0
// spreads its five reconnection attempts over that time instead of the usual one.
inline void InstallAcceptingControls(const QString& configPath,
                                     rdp::freerdp::FreeRdpControl*& control,
                                     int reconnectSpanMs = 0) {
    using namespace rdp::freerdp;
    rdp::SetRdpControlFactory([configPath, &control, reconnectSpanMs](QWidget* parent) {
        control = new FreeRdpControl(parent);
        control->setConfigPath(configPath);
        if (reconnectSpanMs > 0) {
            control->setReconnectPolicy(5, reconnectSpanMs);
        }
        control->setCertificateAsker(
            [](QWidget*, const CertificateQuestion&, CertificateReply reply) {
                reply(CertificateAnswer::AcceptOnce);
                return static_cast<QWidget*>(nullptr);
            });
        return control;
    });
}

} // namespace rdp::test

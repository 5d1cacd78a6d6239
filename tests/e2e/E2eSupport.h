#pragma once

#include "session/RdpControlFactory.h"
#include "session/freerdp/control/FreeRdpControl.h"

#include <QDir>
#include <QImage>
#include <QMap>
#include <QObject>
#include <QProcess>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdlib>

namespace rdp::test {

// The fixture every end-to-end case shares: its first loopback port and a private folder for
// the servers' state and the control's files, removed afterwards.
class E2eCase : public QObject {
public:
    // The port is the one CTest gives the case (RDP_E2E_PORT), or `fallbackPort` when the
    // test program runs on its own.
    explicit E2eCase(int fallbackPort)
        : port_(qEnvironmentVariableIntValue("RDP_E2E_PORT") ?: fallbackPort) {}

protected:
    const int port_;
    QTemporaryDir work_;

    // The folder `name` in it: a server's state (a new folder gives a new certificate).
    QString state(const QString& name) const { return work_.path() + QLatin1Char('/') + name; }
};

// Distinct colours among every `step`-th pixel of every `step`-th row: a blank (never
// painted) picture has one.
inline int DistinctColours(const QImage& image, int step) {
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += step) {
        for (int x = 0; x < image.width(); x += step) {
            seen.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(seen.size());
}

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

// A self-signed certificate and key, `name`.crt and `name`.key, in the folder `dir` (made
// when missing).
inline bool MakeCertificate(const QString& dir, const QString& name) {
    return QDir().mkpath(dir) &&
           QProcess::execute(QStringLiteral("winpr-makecert"),
                             {QStringLiteral("-silent"), QStringLiteral("-rdp"),
                              QStringLiteral("-path"), dir, name}) == 0;
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

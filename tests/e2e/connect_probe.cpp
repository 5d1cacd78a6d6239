// Measures the FreeRDP control against a server for bench/connect-and-cpu.sh: prints the
// time from Connect to the connection and to the first painted frame, then stays connected
// for the given seconds (the script measures this process's CPU meanwhile).
#include "session/freerdp/control/FreeRdpControl.h"
#include "session/freerdp/module/WarmUp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

using rdp::freerdp::CertificateAnswer;
using rdp::freerdp::CertificateQuestion;
using rdp::freerdp::CertificateReply;

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 7) {
        std::fprintf(stderr, "usage: connect_probe HOST PORT USER PASSWORD CONFIG SECONDS\n");
        return 2;
    }
    rdp::freerdp::WarmUpInBackground(); // as the program does at start
    QWidget window;
    window.resize(1024, 768);
    auto* rdp = new rdp::freerdp::FreeRdpControl(&window);
    rdp->setGeometry(0, 0, 1024, 768);
    rdp->setServer(args[1]);
    rdp->setRDPPort(args[2].toInt());
    rdp->setUserName(args[3]);
    rdp->setClearTextPassword(args[4]);
    rdp->setConfigPath(args[5]);
    rdp->setAudioRedirectionMode(2);
    rdp->setCertificateAsker([](QWidget*, const CertificateQuestion&, CertificateReply reply) {
        reply(CertificateAnswer::AcceptOnce);
        return static_cast<QWidget*>(nullptr);
    });
    window.show();
    QElapsedTimer clock;
    QObject::connect(rdp, &RdpClientControl::OnConnected, &window, [&] {
        std::printf("connected_ms=%lld\nstart_to_connected_ms=%lld\n", clock.elapsed(),
                    sinceStart.elapsed());
    });
    QObject::connect(rdp, &RdpClientControl::OnLoginComplete, &window, [&] {
        // raised right after the first painted frame on servers without a logon notice
        std::printf("first_frame_ms=%lld\nstart_to_first_frame_ms=%lld\n", clock.elapsed(),
                    sinceStart.elapsed());
        std::fflush(stdout);
        QTimer::singleShot(args[6].toInt() * 1000, &app, [rdp] { rdp->Disconnect(); });
    });
    QObject::connect(rdp, &RdpClientControl::OnDisconnected, &window, [&](int reason) {
        std::printf("disconnected=%d\n", reason);
        app.quit();
    });
    QTimer::singleShot(300, &window, [&] { // the warm-up has had its head start
        clock.start();
        rdp->Connect();
    });
    return app.exec();
}

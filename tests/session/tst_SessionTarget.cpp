#include "profiles/PortNumber.h"
#include "profiles/RDP_ConnectParaItems.h"
#include "session/SessionTarget.h"

#include <QTest>

using rdp::SessionTargetFault;

class SessionTargetTest : public QObject {
    Q_OBJECT

private slots:
    void port() {
        // The port as typed or stored, and its value (0: refused): one rule for the
        // new-connection dialog, rdp-store and the session.
        const std::pair<const char*, int> ports[] = {
            {"0", 0},         {"1", 1},         {"3389", 3389},
            {"65535", 65535}, {"65536", 0},     {"99999999999999999999", 0},
            {"abc", 0},       {" 3389 ", 3389}, {"003389", 3389},
            {"", 0},          {"   ", 0},       {"+3389", 0},
            {"-1", 0},        {"3389.0", 0},    {"33 89", 0},
            {"３３８９", 0}}; // full-width digits
        for (const auto& [text, value] : ports) {
            const QString port = QString::fromUtf8(text);
            RDP_ConnectParaItems p;
            p.setServer(QStringLiteral("rdp.example"));
            p.setPort(port);
            QVERIFY2(rdp::IsSessionTargetValid(p) == (value != 0), text);
            QCOMPARE(rdp::CheckSessionTarget(p),
                     value != 0 ? SessionTargetFault::None : SessionTargetFault::BadPort);
            QCOMPARE(rdp::PortNumber(port).value_or(0), value);
        }
    }

    void serverMustNotBeEmpty() {
        const std::tuple<const char*, const char*, SessionTargetFault> rows[] = {
            {"", "3389", SessionTargetFault::EmptyServer},
            {"  ", "3389", SessionTargetFault::EmptyServer},
            {"", "abc", SessionTargetFault::EmptyServer}, // named before a bad port
            {"服务器", "3389", SessionTargetFault::None}};
        for (const auto& [server, port, fault] : rows) {
            RDP_ConnectParaItems p;
            p.setServer(QString::fromUtf8(server));
            p.setPort(QString::fromUtf8(port));
            QCOMPARE(rdp::CheckSessionTarget(p), fault);
        }
    }
};

QTEST_GUILESS_MAIN(SessionTargetTest)
#include "tst_SessionTarget.moc"

#include "profiles/RDP_ConnectParaItems.h"
#include "session/SessionTarget.h"

#include <QTest>

using rdp::SessionTargetFault;

class SessionTargetTest : public QObject {
    Q_OBJECT

private slots:
    void port_data();
    void port();
    void serverMustNotBeEmpty_data();
    void serverMustNotBeEmpty();
};

void SessionTargetTest::port_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("value"); // 0: refused
    QTest::newRow("zero") << QStringLiteral("0") << 0;
    QTest::newRow("lowest") << QStringLiteral("1") << 1;
    QTest::newRow("usual") << QStringLiteral("3389") << 3389;
    QTest::newRow("highest") << QStringLiteral("65535") << 65535;
    QTest::newRow("one too high") << QStringLiteral("65536") << 0;
    QTest::newRow("far too high") << QStringLiteral("99999999999999999999") << 0;
    QTest::newRow("letters") << QStringLiteral("abc") << 0;
    QTest::newRow("blanks around") << QStringLiteral(" 3389 ") << 3389;
    QTest::newRow("leading zeros") << QStringLiteral("003389") << 3389;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("blanks only") << QStringLiteral("   ") << 0;
    QTest::newRow("sign") << QStringLiteral("+3389") << 0;
    QTest::newRow("negative") << QStringLiteral("-1") << 0;
    QTest::newRow("fraction") << QStringLiteral("3389.0") << 0;
    QTest::newRow("inner blank") << QStringLiteral("33 89") << 0;
    QTest::newRow("full-width digits") << QStringLiteral("３３８９") << 0;
}

void SessionTargetTest::port() {
    QFETCH(QString, port);
    QFETCH(int, value);
    RDP_ConnectParaItems p;
    p.setServer(QStringLiteral("rdp.example"));
    p.setPort(port);
    QCOMPARE(rdp::IsSessionTargetValid(p), value != 0);
    QCOMPARE(rdp::CheckSessionTarget(p),
             value != 0 ? SessionTargetFault::None : SessionTargetFault::BadPort);
    QCOMPARE(rdp::SessionPort(port).value_or(0), value);
}

void SessionTargetTest::serverMustNotBeEmpty_data() {
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("port");
    QTest::addColumn<SessionTargetFault>("fault");
    QTest::newRow("empty") << QString() << QStringLiteral("3389")
                           << SessionTargetFault::EmptyServer;
    QTest::newRow("blanks") << QStringLiteral("  ") << QStringLiteral("3389")
                            << SessionTargetFault::EmptyServer;
    QTest::newRow("empty server is named before a bad port")
        << QString() << QStringLiteral("abc") << SessionTargetFault::EmptyServer;
    QTest::newRow("name") << QStringLiteral("服务器") << QStringLiteral("3389")
                          << SessionTargetFault::None;
}

void SessionTargetTest::serverMustNotBeEmpty() {
    QFETCH(QString, server);
    QFETCH(QString, port);
    QFETCH(SessionTargetFault, fault);
    RDP_ConnectParaItems p;
    p.setServer(server);
    p.setPort(port);
    QCOMPARE(rdp::CheckSessionTarget(p), fault);
}

QTEST_GUILESS_MAIN(SessionTargetTest)
#include "tst_SessionTarget.moc"

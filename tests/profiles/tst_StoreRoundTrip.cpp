#include "StoreFixture.h"

#include "profiles/StoreEscape.h"
#include "tests/support/ProfileFields.h"

#include <QRandomGenerator>

using namespace RDP_basClient;

namespace {

RDP_ConnectParaItems& AddOffice(RDP_ConnectPara& list) {
    RDP_ConnectParaItems& p = list.Add(QString::fromUtf8("办公室"), QStringLiteral("10.0.0.5"),
                                       QStringLiteral("3389"), QString(), QString(), 0, 0, 0);
    list.SetDefault(list.SelectIndex());
    p.setUserName(QStringLiteral("u1"));
    return p;
}

} // namespace

TEST_F(StoreTest, LinesBeginExactlyAsTheRecordFormAndEndWithServerAndPort) {
    RDP_ConnectPara list;
    AddOffice(list);
    AddOffice(list).setPassword(QStringLiteral("secret")); // not saved: IsSavePassword 0
    list.setSelectIndex(2);
    ASSERT_TRUE(SaveConnectPara(list).ok());
    const QStringList lines = StoreLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], U("Version = 1.0.0; SelectIndex = 2; "));
    const QString record =
        U("ConnectName = 办公室; UserName = u1; Password = ; IsSavePassword = 0; DesktopSize = 0; "
          "ColorDepth = 1; AudioMode = 0; RedirectPrint = 1; RedirectPorts = 1; "
          "RedirectDrives = 0; SmartCards = 1; BitmapPeristence = 1; CanAutoReconnect = 1; "
          "Server = 10.0.0.5; Port = 3389; ");
    EXPECT_EQ(lines[1], record);
    EXPECT_EQ(lines[2], record);
    EXPECT_TRUE(StoreBytes().endsWith("\r\n"));
}

TEST_F(StoreTest, EveryStoredFieldComesBack) {
    RDP_ConnectPara list;
    RDP_ConnectParaItems& p = AddOffice(list);
    p.setPassword(U(" pw 1 "));
    p.setIsSavePassword(1);
    p.setDesktopSize(4);
    p.setColorDepth(3);
    p.setAudioMode(2);
    p.setRedirectPrint(0);
    p.setRedirectPorts(0);
    p.setRedirectDrives(1);
    p.setSmartCards(0);
    p.setBitmapPeristence(0);
    p.setCanAutoReconnect(0);
    p.setFullScreen(1);
    p.setWidth(1024);
    p.setHeight(768);
    AddOffice(list).setPassword(U("dropped"));
    list.setSelectIndex(5); // kept as it stands, beyond Count
    ASSERT_TRUE(SaveConnectPara(list).ok());

    RDP_ConnectPara back;
    ASSERT_TRUE(LoadConnectPara(back).ok());
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.SelectIndex(), 5);
    EXPECT_EQ(back.SelectIndexOld(), 5);
    EXPECT_EQ(back.Version(), U("1.0.0"));
    const RDP_ConnectParaItems& q = back.Item(1);
    // The password comes back exactly as it was, blanks and all.
    EXPECT_EQ(rdp::test::Fields(q), U("办公室|u1| pw 1 |1|4|3|2|001000"));
    EXPECT_EQ(q.Server(), U("10.0.0.5"));
    EXPECT_EQ(q.Port(), U("3389"));
    EXPECT_EQ(q.FullScreen(), 0); // never written
    EXPECT_EQ(q.Width(), 0);
    EXPECT_EQ(q.Height(), 0);
    EXPECT_EQ(back.Item(2).Password(), QString());
}

TEST_F(StoreTest, NoStoreAndEmptyList) {
    RDP_ConnectPara list;
    list.Add(U("x"), U("h"), U("1"), QString(), QString(), 0, 0, 0);
    EXPECT_TRUE(LoadConnectPara(list).ok());
    EXPECT_EQ(list.Count(), 1); // left as it was
    EXPECT_FALSE(ConnectParaFileExists());
    EXPECT_TRUE(FilesIn(programDir).isEmpty()); // nothing created
    EXPECT_TRUE(fake.messages.isEmpty());       // a missing store is no damage

    RDP_ConnectPara empty;
    empty.setSelectIndex(3);
    ASSERT_TRUE(SaveConnectPara(empty).ok());
    EXPECT_EQ(StoreLines(), QStringList{U("Version = 1.0.0; SelectIndex = 3; ")});
    ASSERT_TRUE(LoadConnectPara(list).ok());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.SelectIndex(), 3);
}

TEST_F(StoreTest, ReaderIgnoresCaseOrderAndUnknownKeysAndRounds) {
    RDP_ConnectPara list;
    PutStore(Encoded({U("selectindex = 2.5; VERSION = 0.9; "),
                      U("Extra = 1; port = 22; connectname = x; server = h; "
                        "redirectprint = 1.5; desktopsize = 1.5; width = 800; Height=600; "
                        "FullScreen = 1; ConnectName = second; ")}));
    ASSERT_TRUE(LoadConnectPara(list).ok());
    EXPECT_EQ(list.SelectIndex(), 2); // 2.5 rounds to even
    EXPECT_EQ(list.Version(), U("0.9"));
    const RDP_ConnectParaItems& p = list.Item(1);
    EXPECT_EQ(p.ConnectName(), U("x")); // the first match wins
    EXPECT_EQ(p.Port(), U("22"));
    EXPECT_EQ(p.RedirectPrint(), 2);
    EXPECT_EQ(p.DesktopSize(), 1.5f);
    EXPECT_EQ(p.Width(), 800);
    EXPECT_EQ(p.Height(), 600);
    EXPECT_EQ(p.FullScreen(), 1);
    EXPECT_EQ(p.ColorDepth(), 0); // absent: 0
    EXPECT_EQ(p.UserName(), QString());
}

TEST_F(StoreTest, ValuesWithSeparatorsAndEscapesRoundTrip) {
    RDP_ConnectPara list;
    RDP_ConnectParaItems& p = AddOffice(list);
    p.setConnectName(U("a;b=c¶S"));
    p.setPassword(U("  p=1;2;¶¶E "));
    p.setIsSavePassword(1);
    p.setUserName(U("DOMAIN\\user%3B"));
    ASSERT_TRUE(SaveConnectPara(list).ok());
    const QString record = StoreLines().value(1);
    EXPECT_TRUE(record.startsWith(U("ConnectName = a¶Sb¶Ec¶PS; UserName = DOMAIN\\user%3B; "
                                    "Password = ¶B¶Bp¶E1¶S2¶S¶P¶PE¶B; ")))
        << record.toStdString();
    RDP_ConnectPara back;
    ASSERT_TRUE(LoadConnectPara(back).ok());
    EXPECT_EQ(back.Item(1).ConnectName(), U("a;b=c¶S"));
    EXPECT_EQ(back.Item(1).Password(), U("  p=1;2;¶¶E ")); // blanks and all
    EXPECT_EQ(back.Item(1).UserName(), U("DOMAIN\\user%3B"));
}

TEST_F(StoreTest, OnlyTheSequencesTheWriterProducesAreUndone) {
    using rdp::store::UnescapeValue;
    EXPECT_EQ(UnescapeValue(U("¶S¶E¶P")), U(";=¶"));
    EXPECT_EQ(UnescapeValue(U("¶s¶x¶")), U("¶s¶x¶"));
    EXPECT_EQ(UnescapeValue(U("a?b€")), U("a?b€")); // what earlier stores can hold
    EXPECT_EQ(rdp::store::EscapeValue(U("plain 中文 ?€")), U("plain 中文 ?€"));
}

TEST_F(StoreTest, RandomTextsRoundTripThroughTheStore) {
    const QString pool = U("aZ09 ;=¶€中文连接密码！\\\"'%") + QChar(u'\u00A5') + QChar(u'\uF8F5');
    QRandomGenerator random(7);
    RDP_ConnectPara list;
    QStringList names, passwords;
    for (int i = 0; i < 200; ++i) {
        QString name, password = QStringLiteral("p");
        for (int k = 0; k < 12; ++k) {
            name += pool.at(random.bounded(pool.size()));
            password += pool.at(random.bounded(pool.size()));
        }
        password += QString::fromUcs4(U"\U0001F511", 1) + QChar(char16_t(0xDC00)); // pair, lone
        name = name.trimmed() + QChar(u'x'); // the reader trims blanks at the ends
        RDP_ConnectParaItems& p = list.Add(name, U("h"), U("1"), QString(), password, 0, 0, 0);
        p.setIsSavePassword(1);
        names << name;
        passwords << password;
    }
    ASSERT_TRUE(SaveConnectPara(list).ok());
    RDP_ConnectPara back;
    ASSERT_TRUE(LoadConnectPara(back).ok());
    ASSERT_EQ(back.Count(), 200);
    for (int i = 1; i <= 200; ++i) {
        EXPECT_EQ(back.Item(i).ConnectName(), names[i - 1]);
        EXPECT_EQ(back.Item(i).Password(), passwords[i - 1]);
    }
}

TEST_F(StoreTest, StorePathHasOneSlash) {
    fake.programFolder = U("/");
    EXPECT_EQ(ConnectParaFilePath(), U("/WinEx.DLL"));
    fake.programFolder = U("/opt/rdp");
    EXPECT_EQ(ConnectParaFilePath(), U("/opt/rdp/WinEx.DLL"));
    fake.programFolder = U("/media/usb/");
    EXPECT_EQ(ConnectParaFilePath(), U("/media/usb/WinEx.DLL"));
}

TEST_F(StoreTest, FindConnectNameIgnoresCase) {
    RDP_ConnectPara list;
    list.Add(U("Office"), U("h"), U("1"), QString(), QString(), 0, 0, 0);
    list.Add(U("家"), U("h"), U("1"), QString(), QString(), 0, 0, 0);
    EXPECT_EQ(FindConnectName(list, U("OFFICE")), 1);
    EXPECT_EQ(FindConnectName(list, U("家")), 2);
    EXPECT_EQ(FindConnectName(list, U("Office ")), 0);
}

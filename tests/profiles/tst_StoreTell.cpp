#include "profiles/StoreTell.h"

#include "Version.h"
#include "tests/support/FakePlatform.h"

#include <gtest/gtest.h>

using RDP_basClient::StoreResult;
using Failure = StoreResult::Failure;

// How the windows and the store tool tell a store's result: a failed write as "number:text"
// (OK only, the program's title, no beep), any other failure and then each notice as the
// program's warning (exclamation, "连接", a beep), CR LF as one line break; a cancelled wait
// and a plain success tell nothing.
TEST(StoreTell, EachFailureAndNoticeIsToldInItsOwnWay) {
    rdp::test::FakePlatform fake;
    EXPECT_FALSE(TellStoreResult(StoreResult{
        Failure::WriteError, 70, QStringLiteral("没有权限"), {}, {QStringLiteral("后")}}));
    EXPECT_FALSE(TellStoreResult(
        StoreResult{Failure::Refused, 321, QStringLiteral("损坏\r\n文件"), {}, {}}));
    EXPECT_FALSE(TellStoreResult(StoreResult{Failure::Cancelled, 0, {}, {}, {}}));
    EXPECT_TRUE(TellStoreResult(StoreResult{}));
    EXPECT_TRUE(TellStoreResult(StoreResult{Failure::None, 0, {}, {}, {QStringLiteral("改")}}));

    const QList<rdp::test::RecordedMessage> expected{
        {QStringLiteral("70:没有权限"), rdp::MsgStyle::OkOnly, QString::fromUtf8(rdp::DisplayName)},
        {QStringLiteral("后"), rdp::MsgStyle::Exclamation, QStringLiteral("连接")},
        {QStringLiteral("损坏\n文件"), rdp::MsgStyle::Exclamation, QStringLiteral("连接")},
        {QStringLiteral("改"), rdp::MsgStyle::Exclamation, QStringLiteral("连接")},
    };
    ASSERT_EQ(fake.messages.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(fake.messages[i].text, expected[i].text) << i;
        EXPECT_EQ(fake.messages[i].style, expected[i].style) << i;
        EXPECT_EQ(fake.messages[i].title, expected[i].title) << i;
        EXPECT_EQ(fake.messages[i].owner, nullptr) << i;
    }
    EXPECT_EQ(fake.beeps, 3);
}

#include "common/Errors.h"
#include "common/TextCodec.h"

#include <QRandomGenerator>
#include <QStringEncoder>

#include <gtest/gtest.h>

using namespace RDP_basPublic;
using rdp::codec::DecodeLine;
using rdp::codec::EncodeLine;

namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

int ErrorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const rdp::Error& e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(Codec, WorkedExamples) {
    const char* examples[][3] = {{"abc", "097000098000099000", "000051"},
                                 {"中", "045078", "000024"},
                                 {"a中", "097000045078", "000040"}};
    for (const auto& [text, encoded, check] : examples) {
        const QString line = U(encoded) + U(check);
        EXPECT_EQ(EncodeText(U(text)), U(encoded)) << text;
        EXPECT_EQ(CheckSumText(0, U(encoded)), line) << text;
        EXPECT_EQ(QString::fromLatin1(EncodeLine(U(text))), line) << text;
        EXPECT_EQ(DecodeText(CheckSumText(1, line)), U(text)) << text;
        QString back;
        EXPECT_EQ(DecodeLine(QByteArrayView(line.toLatin1()), back), 0) << text;
        EXPECT_EQ(back, U(text));
    }
}

// Against code page 936 as Qt knows it: ASCII as its byte and "000", everything else
// (double-byte characters, the euro sign, what the code page lacks, lone surrogates) by its
// UTF-16 bytes, low byte first.
TEST(Codec, EveryCodeUnitFollowsTheTable) {
    int mismatches = 0;
    for (int u = 0; u <= 0xFFFF; ++u) {
        const QString c(QChar(static_cast<char16_t>(u)));
        const QByteArray form = QStringEncoder("GBK").encode(c);
        const bool ascii =
            form.size() == 1 && static_cast<unsigned char>(form[0]) < 128 && form[0] != '?';
        const int low = ascii ? form[0] : (u & 0xFF);
        const int high = ascii ? 0 : (u >> 8);
        const QString expected = QStringLiteral("%1%2")
                                     .arg(low, 3, 10, QLatin1Char('0'))
                                     .arg(high, 3, 10, QLatin1Char('0'));
        mismatches += EncodeText(c) != expected || DecodeText(EncodeText(c)) != c;
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(EncodeText(U("?")), U("063000"));
    EXPECT_EQ(EncodeText(U("€")), U("172032")); // U+20AC, not the single byte 128
}

TEST(Codec, DecodeTextAndCheckSumEdges) {
    EXPECT_EQ(DecodeText(QString()), QString());
    EXPECT_EQ(DecodeText(U("097")), U("a")); // an odd last byte: high byte 0
    EXPECT_EQ(DecodeText(U("0970000")), U("a") + QChar(u'\0'));
    const std::pair<const char*, int> badTexts[] = {{"256000", rdp::ErrorNumber::Overflow},
                                                    {"999", rdp::ErrorNumber::Overflow},
                                                    {"09a000", rdp::ErrorNumber::TypeMismatch},
                                                    {"097 00", rdp::ErrorNumber::TypeMismatch}};
    for (const auto& bad : badTexts) {
        const char* text = bad.first;
        EXPECT_EQ(ErrorNumberOf([text] { DecodeText(U(text)); }), bad.second) << text;
    }
    const std::tuple<int, const char*, const char*> sums[] = {
        {0, "", ""},
        {0, "   ", ""},
        {1, "  ", ""},
        {0, " 12 ", "12000003"},
        {0, "a9", "a9000009"}, // non-digits count 0
        {1, "  12000003 ", "12"},
        {1, "12000004", ""},
        {1, "000000", ""},
        {2, "12000003", ""}};
    for (const auto& [mode, text, result] : sums) {
        EXPECT_EQ(CheckSumText(mode, U(text)), U(result)) << mode << " " << text;
    }
    EXPECT_EQ(ErrorNumberOf([] { CheckSumText(1, U("12345")); }),
              rdp::ErrorNumber::InvalidArgument);
    // A sum of more than six digits is not cut: such a text can never verify.
    const QString nines(111112, QLatin1Char('9'));
    EXPECT_EQ(CheckSumText(0, nines).size(), nines.size() + 7);
}

TEST(Codec, LineSumLimit) {
    // "Z" is 090000, digit sum 9: 111111 of them sum to exactly 999999.
    const QString atLimit(111111, QLatin1Char('Z'));
    const QByteArray line = EncodeLine(atLimit);
    EXPECT_TRUE(line.endsWith("999999"));
    QString back;
    EXPECT_EQ(DecodeLine(QByteArrayView(line), back), 0);
    EXPECT_EQ(back, atLimit);
    EXPECT_EQ(ErrorNumberOf([&] { EncodeLine(atLimit + QChar(u'a')); }),
              rdp::ErrorNumber::Overflow);
    EXPECT_TRUE(EncodeLine(QString()).isEmpty());
}

TEST(Codec, DecodeLineStatuses) {
    struct Case {
        const char* line;
        int status;
        const char* text; // nullptr: left as it was
    };
    const Case cases[] = {
        {"", 0, ""},
        {"      ", -2, ""},
        {"000000", -2, ""},
        {"12345", -1, nullptr},
        {"  1   ", -1, nullptr},
        {" 097000000016 ", 0, "a"},
        {"097001000016", -2, ""}, // one digit changed
        {"097000000017", -2, ""}, // check changed
        {"079000000016", 0, "O"}, // two digits swapped: the check cannot tell
        {"256000000013", -1, nullptr},
        {"09a000000009", -1, nullptr},
        {"097000 000016", -1, nullptr},
        {"097000a00016", -2, ""},
    };
    for (const Case& c : cases) {
        QString text = QStringLiteral("before");
        const int status = DecodeLine(QByteArrayView(c.line), text);
        EXPECT_EQ(status, c.status) << c.line;
        EXPECT_EQ(text, c.text ? U(c.text) : QStringLiteral("before")) << c.line;
        QString wide = QStringLiteral("before");
        EXPECT_EQ(DecodeLine(QString::fromLatin1(c.line), wide), status) << c.line;
        EXPECT_EQ(wide, text) << c.line;
    }
}

TEST(Codec, RandomRoundTrips) {
    const QString pool = U("abcXYZ019 ;=¶€中文连接设置密码！，。\r\n\t\"'\\") + QChar(u'\u00A5') +
                         QChar(u'\uF8F5') + QChar(u'\u0080') + QChar(u'\u00FF');
    QRandomGenerator random(20240607);
    for (int round = 0; round < 2000; ++round) {
        QString text;
        const int length = static_cast<int>(random.bounded(1, 60));
        for (int i = 0; i < length; ++i) {
            switch (random.bounded(4)) {
            case 0:
                text += QString::fromUcs4(&U"\U0001F600\U00020000\U0001D11E"[random.bounded(3)], 1);
                break;
            case 1:
                text += QChar(static_cast<char16_t>(random.bounded(0xD800, 0xE000))); // lone
                break;
            default:
                text += pool.at(static_cast<qsizetype>(random.bounded(pool.size())));
            }
        }
        QString back;
        ASSERT_EQ(DecodeLine(QByteArrayView(EncodeLine(text)), back), 0) << round;
        ASSERT_EQ(back, text) << round;
        ASSERT_EQ(DecodeText(EncodeText(text)), text) << round;
    }
}

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

QString Line(const char* digits) {
    return QString::fromLatin1(digits);
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
    EXPECT_EQ(EncodeText(U("abc")), Line("097000098000099000"));
    EXPECT_EQ(CheckSumText(0, EncodeText(U("abc"))), Line("097000098000099000000051"));
    EXPECT_EQ(EncodeText(U("中")), Line("045078"));
    EXPECT_EQ(CheckSumText(0, EncodeText(U("中"))), Line("045078000024"));
    EXPECT_EQ(EncodeText(U("a中")), Line("097000045078"));
    EXPECT_EQ(CheckSumText(0, EncodeText(U("a中"))), Line("097000045078000040"));
    EXPECT_EQ(QString::fromLatin1(EncodeLine(U("a中"))), Line("097000045078000040"));

    QString text;
    EXPECT_EQ(DecodeLine(QByteArrayView("097000098000099000000051"), text), 0);
    EXPECT_EQ(text, U("abc"));
    EXPECT_EQ(DecodeText(CheckSumText(1, Line("045078000024"))), U("中"));
}

// Every code unit against the table of the line form: ASCII as its byte and "000",
// double-byte characters of code page 936 by their UTF-16 bytes, low byte first, and
// everything else (the euro sign, characters the code page lacks, lone surrogates) by
// its UTF-16 bytes too.
TEST(Codec, EveryCodeUnitFollowsTheTable) {
    int mismatches = 0;
    for (int u = 0; u <= 0xFFFF; ++u) {
        const QString c(QChar(static_cast<char16_t>(u)));
        QString expected;
        QStringEncoder gbk("GBK");
        const QByteArray form = gbk.encode(c);
        if (form.size() == 1 && static_cast<unsigned char>(form[0]) < 128 && form[0] != '?') {
            const int b = static_cast<int>(form[0]);
            expected = QStringLiteral("%1").arg(b, 3, 10, QLatin1Char('0')) + QStringLiteral("000");
        } else {
            expected = QStringLiteral("%1%2")
                           .arg(u & 0xFF, 3, 10, QLatin1Char('0'))
                           .arg(u >> 8, 3, 10, QLatin1Char('0'));
        }
        if (EncodeText(c) != expected || DecodeText(EncodeText(c)) != c) {
            ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(EncodeText(U("?")), Line("063000"));
    EXPECT_EQ(EncodeText(U("€")), Line("172032")); // U+20AC, not the single byte 128
}

TEST(Codec, DecodeTextEdges) {
    EXPECT_EQ(DecodeText(QString()), QString());
    EXPECT_EQ(DecodeText(Line("097")), U("a")); // an odd last byte: high byte 0
    EXPECT_EQ(DecodeText(Line("0970000")), U("a") + QChar(u'\0'));
    EXPECT_EQ(ErrorNumberOf([] { DecodeText(Line("256000")); }), rdp::ErrorNumber::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { DecodeText(Line("999")); }), rdp::ErrorNumber::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { DecodeText(Line("09a000")); }), rdp::ErrorNumber::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { DecodeText(Line("097 00")); }), rdp::ErrorNumber::TypeMismatch);
}

TEST(Codec, CheckSumTextModes) {
    EXPECT_EQ(CheckSumText(0, QString()), QString());
    EXPECT_EQ(CheckSumText(0, Line("   ")), QString());
    EXPECT_EQ(CheckSumText(1, Line("  ")), QString());
    EXPECT_EQ(CheckSumText(0, Line(" 12 ")), Line("12000003"));
    EXPECT_EQ(CheckSumText(0, Line("a9")), Line("a9000009")); // non-digits count 0
    EXPECT_EQ(CheckSumText(1, Line("  12000003 ")), Line("12"));
    EXPECT_EQ(CheckSumText(1, Line("12000004")), QString());
    EXPECT_EQ(CheckSumText(1, Line("000000")), QString()); // a valid check of nothing
    EXPECT_EQ(CheckSumText(2, Line("12000003")), QString());
    EXPECT_EQ(ErrorNumberOf([] { CheckSumText(1, Line("12345")); }),
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

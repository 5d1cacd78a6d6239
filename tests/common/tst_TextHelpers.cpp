#include "common/Errors.h"
#include "common/TextHelpers.h"

#include <gtest/gtest.h>

using RDP_basPublic::GetKeyValue;
using RDP_basPublic::PadZero;

namespace {
QString L(const char* s) {
    return QString::fromUtf8(s);
}
QStringList Items(const char* line) {
    return L(line).split(QLatin1Char(';'));
}
} // namespace

TEST(PadZero, Widths) {
    EXPECT_EQ(PadZero(L("97"), 3), L("097"));
    EXPECT_EQ(PadZero(L(" 5 "), 3), L("005"));
    EXPECT_EQ(PadZero(QString(), 6), L("000000"));
    EXPECT_EQ(PadZero(L("1234"), 3), L("1234"));
    EXPECT_EQ(PadZero(L(" 12 "), 0), L("12"));
    EXPECT_EQ(PadZero(L("7"), -2), L("7"));
    EXPECT_EQ(PadZero(L("\t7"), 3), L("0\t7")); // only spaces are trimmed
    EXPECT_THROW(PadZero(QString(32768, QLatin1Char('1')), 3), rdp::Error);
}

TEST(GetKeyValue, MatchesTrimmedKeyIgnoringCase) {
    const QStringList items = Items("Version = 1.0.0;  SelectIndex = 2; ");
    EXPECT_EQ(GetKeyValue(items, L("SelectIndex"), L("=")), L("2"));
    EXPECT_EQ(GetKeyValue(items, L("selectindex"), L("=")), L("2"));
    EXPECT_EQ(GetKeyValue(items, L("Version"), L("=")), L("1.0.0"));
    EXPECT_EQ(GetKeyValue(items, L(" Version"), L("=")), std::nullopt); // key not trimmed
    EXPECT_EQ(GetKeyValue(items, L("Missing"), L("=")), std::nullopt);
    EXPECT_EQ(GetKeyValue(QStringList(), L("Version"), L("=")), std::nullopt);
}

TEST(GetKeyValue, FirstMatchSecondPieceAndErrors) {
    EXPECT_EQ(GetKeyValue(Items("A = 1; a = 2; "), L("A"), L("=")), L("1"));
    EXPECT_EQ(GetKeyValue(Items("Password = ab=cd; "), L("Password"), L("=")), L("ab"));
    EXPECT_EQ(GetKeyValue(Items("Password = ; "), L("Password"), L("=")), QString());
    EXPECT_EQ(GetKeyValue(Items(" ; ;X=1"), L("X"), L("=")),
              L("1")); // a blank item matches nothing
    EXPECT_EQ(GetKeyValue(Items("Key -> v; "), L("Key"), L("->")), L("v"));
    EXPECT_EQ(GetKeyValue(Items("Other; Key = 1"), L("Key"), L("=")), L("1")); // unknown, no "="
    try {
        GetKeyValue(Items("Key; Key = 1"), L("key"), L("="));
        FAIL() << "a matching item without separator must throw";
    } catch (const rdp::Error& e) {
        EXPECT_EQ(e.number(), rdp::ErrorNumber::SubscriptOutOfRange);
    }
}

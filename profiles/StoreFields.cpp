#include "profiles/StoreFields.h"

#include "profiles/StoreEscape.h"

#include "common/Errors.h"
#include "common/TextHelpers.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace rdp::store {

namespace {

bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Skips digits from `i`; returns how many there were.
qsizetype SkipDigits(QStringView s, qsizetype& i) {
    const qsizetype from = i;
    while (i < s.size() && IsDigit(s[i])) {
        ++i;
    }
    return i - from;
}

// Decimal text: an optional sign, digits with an optional fraction, an optional exponent.
bool IsDecimal(QStringView s) {
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        ++i;
    }
    qsizetype digits = SkipDigits(s, i);
    if (i < s.size() && s[i] == u'.') {
        ++i;
        digits += SkipDigits(s, i);
    }
    if (digits == 0) {
        return false;
    }
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
            ++i;
        }
        if (SkipDigits(s, i) == 0) {
            return false;
        }
    }
    return i == s.size();
}

// Plain whole numbers, by far the most common values, without the locale's parser.
std::optional<double> PlainInteger(QStringView s) {
    if (s.isEmpty() || s.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (const QChar c : s) {
        if (!IsDigit(c)) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

double Rounded(double value, double low, double high) {
    const double r = std::nearbyint(value);
    if (r < low || r > high) {
        throw MakeError(ErrorNumber::Overflow);
    }
    return r;
}

} // namespace

StoreFields::StoreFields(const QString& line) : values_(line, u';', u"=") {}

std::optional<QStringView> StoreFields::Value(QStringView key) const {
    lastKey_ = key;
    return values_.Find(key);
}

std::optional<double> StoreFields::Number(QStringView key) const {
    const std::optional<QStringView> value = Value(key);
    if (!value) {
        return std::nullopt;
    }
    if (const std::optional<double> plain = PlainInteger(*value)) {
        return plain;
    }
    if (!IsDecimal(*value)) {
        throw MakeError(ErrorNumber::TypeMismatch);
    }
    bool ok = false;
    const double number = QLocale::c().toDouble(*value, &ok);
    if (!ok || !std::isfinite(number)) {
        throw MakeError(ErrorNumber::Overflow);
    }
    return number;
}

QString StoreFields::Text(QStringView key) const {
    const std::optional<QStringView> value = Value(key);
    return value ? UnescapeValue(*value) : QString();
}

QString StoreFields::RawText(QStringView key) const {
    const std::optional<QStringView> value = Value(key);
    return value ? value->toString() : QString();
}

std::uint8_t StoreFields::Flag(QStringView key) const {
    return static_cast<std::uint8_t>(Rounded(Number(key).value_or(0), 0, 255));
}

float StoreFields::Code(QStringView key) const {
    const double value = Number(key).value_or(0);
    if (std::fabs(value) > std::numeric_limits<float>::max()) {
        throw MakeError(ErrorNumber::Overflow);
    }
    return static_cast<float>(value);
}

std::int32_t StoreFields::Int(QStringView key) const {
    constexpr double low = std::numeric_limits<std::int32_t>::min();
    constexpr double high = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(Rounded(Number(key).value_or(0), low, high));
}

} // namespace rdp::store

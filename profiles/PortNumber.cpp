#include "profiles/PortNumber.h"

namespace rdp {

namespace {
constexpr std::int32_t HighestPort = 65535;
} // namespace

std::optional<std::int32_t> PortNumber(QStringView text) {
    const QStringView digits = text.trimmed();
    if (digits.isEmpty()) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - u'0');
        if (value > HighestPort) {
            return std::nullopt;
        }
    }
    if (value < 1) {
        return std::nullopt;
    }
    return value;
}

} // namespace rdp

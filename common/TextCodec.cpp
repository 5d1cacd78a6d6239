#include "common/TextCodec.h"

#include "common/Errors.h"
#include "common/TextHelpers.h"

#include <array>
#include <bit>
#include <cstring>
#include <span>

namespace {

// The three digits of every byte value and their digit sums.
struct ByteDigits {
    std::array<std::array<char, 3>, 256> digits{};
    std::array<int, 256> sum{};
    constexpr ByteDigits() {
        for (int b = 0; b < 256; ++b) {
            digits[b] = {static_cast<char>('0' + b / 100), static_cast<char>('0' + b / 10 % 10),
                         static_cast<char>('0' + b % 10)};
            sum[b] = b / 100 + b / 10 % 10 + b % 10;
        }
    }
};
constexpr ByteDigits kBytes;

template <typename Ch> bool IsDigit(Ch c) {
    return c >= Ch('0') && c <= Ch('9');
}

template <typename Ch> std::span<const Ch> Trim(std::span<const Ch> s) {
    while (!s.empty() && s.front() == Ch(' ')) {
        s = s.subspan(1);
    }
    while (!s.empty() && s.back() == Ch(' ')) {
        s = s.first(s.size() - 1);
    }
    return s;
}

template <typename Ch> long long DigitSum(std::span<const Ch> s) {
    long long sum = 0;
    for (const Ch c : s) {
        const unsigned digit = static_cast<unsigned>(c) - '0';
        sum += digit < 10 ? digit : 0; // branch-free: every other character counts 0
    }
    return sum;
}

// The byte of three digits, or -1 when one of them is no digit or the value passes 255.
template <typename Ch> int GroupByte(const Ch* d) {
    const unsigned a = static_cast<unsigned>(d[0]) - '0';
    const unsigned b = static_cast<unsigned>(d[1]) - '0';
    const unsigned c = static_cast<unsigned>(d[2]) - '0';
    if (a >= 10 || b >= 10 || c >= 10) {
        return -1 - rdp::ErrorNumber::TypeMismatch;
    }
    const unsigned value = a * 100 + b * 10 + c;
    return value > 255 ? -1 - rdp::ErrorNumber::Overflow : static_cast<int>(value);
}

// Whether six check characters are the six-digit form of the sum.
template <typename Ch> bool CheckMatches(long long sum, std::span<const Ch> check) {
    if (sum > rdp::codec::MaxCheckSum) {
        return false; // its padded form has more than six digits
    }
    for (int i = 5; i >= 0; --i) {
        if (check[static_cast<std::size_t>(i)] != Ch('0' + sum % 10)) {
            return false;
        }
        sum /= 10;
    }
    return true;
}

// Decodes payload digits into `out`; 0 or the error number.
template <typename Ch> int DecodeDigits(std::span<const Ch> digits, QString& out) {
    const std::size_t bytes = (digits.size() + 2) / 3;
    QString text((bytes + 1) / 2, Qt::Uninitialized);
    char16_t* unit = reinterpret_cast<char16_t*>(text.data());
    // Whole code units, six digits each; the rest (a short tail) digit by digit below.
    const std::size_t whole = digits.size() / 6;
    for (std::size_t u = 0; u < whole; ++u) {
        const int low = GroupByte(&digits[u * 6]);
        const int high = GroupByte(&digits[u * 6 + 3]);
        if (low < 0 || high < 0) {
            return -1 - (low < 0 ? low : high); // the error of the first bad group
        }
        unit[u] = static_cast<char16_t>(low | (high << 8));
    }
    for (std::size_t i = whole * 6, b = whole * 2; i < digits.size(); i += 3, ++b) {
        int value = 0;
        for (std::size_t k = i; k < i + 3 && k < digits.size(); ++k) {
            if (!IsDigit(digits[k])) {
                return rdp::ErrorNumber::TypeMismatch;
            }
            value = value * 10 + (digits[k] - Ch('0'));
        }
        if (value > 255) {
            return rdp::ErrorNumber::Overflow;
        }
        if (b % 2 == 0) {
            unit[b / 2] = static_cast<char16_t>(value);
        } else {
            unit[b / 2] = static_cast<char16_t>(unit[b / 2] | (value << 8));
        }
    }
    out = std::move(text);
    return 0;
}

// The usual payload in one pass, six ASCII digits (one code unit) at a time: every character
// a digit, every group at most 255, whole code units. Gives its digit sum and text; false for
// any other payload, which the slower passes above then judge (as they judge wide text).
bool DecodeWhole(std::span<const char> digits, long long& sum, QString& out) {
    static_assert(std::endian::native == std::endian::little);
    if (digits.empty() || digits.size() % 6 != 0) {
        return false;
    }
    QString text(qsizetype(digits.size() / 6), Qt::Uninitialized);
    char16_t* unit = reinterpret_cast<char16_t*>(text.data());
    std::uint64_t bad = 0;
    std::uint64_t total = 0;
    for (std::size_t i = 0; i < digits.size(); i += 6) {
        std::uint32_t first4 = 0; // two loads, so that no store is read back in between
        std::uint16_t last2 = 0;
        std::memcpy(&first4, digits.data() + i, 4);
        std::memcpy(&last2, digits.data() + i + 4, 2);
        const std::uint64_t x = first4 | std::uint64_t(last2) << 32;
        const std::uint64_t d = x & 0x0F0F0F0F0F0Full; // the six digit values, a byte each
        bad |= ((x & 0xF0F0F0F0F0F0ull) ^ 0x303030303030ull) |
               ((d + 0x060606060606ull) & 0xF0F0F0F0F0F0ull); // not "0" to "9"
        total += (d * 0x010101010101ull) >> 40 & 0xFF;        // byte 5 sums bytes 0 to 5
        const std::uint64_t pairs = d * 10 + (d >> 8);        // byte k: 10 * digit k + digit k + 1
        const unsigned low = unsigned(pairs & 0xFF) * 10 + unsigned(d >> 16 & 0xFF);
        const unsigned high = unsigned(pairs >> 24 & 0xFF) * 10 + unsigned(d >> 40 & 0xFF);
        bad |= (low | high) >> 8; // a group above 255
        *unit++ = static_cast<char16_t>(low | (high << 8));
    }
    if (bad != 0) {
        return false;
    }
    sum = static_cast<long long>(total);
    out = std::move(text);
    return true;
}

bool DecodeWhole(std::span<const char16_t>, long long&, QString&) {
    return false;
}

template <typename Ch> int DecodeLineOf(std::span<const Ch> line, QString& text) {
    const std::span<const Ch> trimmed = Trim(line);
    if (trimmed.empty()) {
        text.clear();
        return line.empty() ? rdp::codec::StatusOk : rdp::codec::StatusCheckFailed;
    }
    if (trimmed.size() < 6) {
        return rdp::codec::StatusUnreadable;
    }
    const std::span<const Ch> body = trimmed.first(trimmed.size() - 6);
    long long sum = 0;
    QString decoded;
    const bool whole = DecodeWhole(body, sum, decoded);
    if (!whole) {
        sum = DigitSum(body);
    }
    if (body.empty() || !CheckMatches(sum, trimmed.last(6))) {
        text.clear();
        return rdp::codec::StatusCheckFailed;
    }
    if (!whole && DecodeDigits(body, decoded) != 0) {
        return rdp::codec::StatusUnreadable;
    }
    text = std::move(decoded);
    return rdp::codec::StatusOk;
}

std::span<const char16_t> Units(QStringView s) {
    return {s.utf16(), std::size_t(s.size())};
}

// Writes the payload digits of `text` to `out` (6 per code unit); returns their digit sum.
long long AppendPayload(QStringView text, char* out) {
    long long sum = 0;
    for (const QChar c : text) {
        const auto low = c.unicode() & 0xFF;
        const auto high = c.unicode() >> 8;
        for (const auto b : {low, high}) {
            const auto& d = kBytes.digits[b];
            *out++ = d[0];
            *out++ = d[1];
            *out++ = d[2];
            sum += kBytes.sum[b];
        }
    }
    return sum;
}

} // namespace

namespace RDP_basPublic {

QString EncodeText(const QString& text) {
    QByteArray digits(text.size() * 6, Qt::Uninitialized);
    AppendPayload(text, digits.data());
    return QString::fromLatin1(digits);
}

QString DecodeText(const QString& digits) {
    QString text;
    if (const int error = DecodeDigits(Units(digits), text); error != 0) {
        throw rdp::MakeError(error);
    }
    return text;
}

QString CheckSumText(std::uint8_t mode, const QString& text) {
    const QStringView trimmed = TrimSpaces(text);
    if (trimmed.isEmpty() || mode > 1) {
        return QString();
    }
    if (mode == 0) {
        return trimmed.toString() + PadZero(QString::number(DigitSum(Units(trimmed))), 6);
    }
    if (trimmed.size() < 6) {
        throw rdp::MakeError(rdp::ErrorNumber::InvalidArgument);
    }
    const QStringView body = trimmed.first(trimmed.size() - 6);
    const QString check = PadZero(QString::number(DigitSum(Units(body))), 6);
    return check == trimmed.last(6) ? body.toString() : QString();
}

} // namespace RDP_basPublic

namespace rdp::codec {

QByteArray EncodeLine(QStringView text) {
    QByteArray line;
    AppendEncodedLine(line, text);
    return line;
}

void AppendEncodedLine(QByteArray& out, QStringView text) {
    if (text.isEmpty()) {
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + text.size() * 6 + 6);
    long long sum = AppendPayload(text, out.data() + start);
    if (sum > MaxCheckSum) {
        out.truncate(start);
        throw rdp::MakeError(rdp::ErrorNumber::Overflow);
    }
    char* check = out.data() + out.size();
    for (int i = 0; i < 6; ++i) {
        *--check = static_cast<char>('0' + sum % 10);
        sum /= 10;
    }
}

int DecodeLine(QStringView line, QString& text) {
    return DecodeLineOf(Units(line), text);
}

int DecodeLine(QByteArrayView asciiLine, QString& text) {
    return DecodeLineOf(std::span<const char>(asciiLine.data(), std::size_t(asciiLine.size())),
                        text);
}

} // namespace rdp::codec

#include "profiles/StoreEscape.h"

#include <algorithm>

namespace rdp::store {

namespace {

// Each escaped character and the letter that follows the escape character for it.
struct Escape {
    char16_t plain;
    char16_t code;
};
constexpr Escape kEscapes[] = {{u';', u'S'}, {u'=', u'E'}, {EscapeChar, u'P'}};

char16_t CodeOf(char16_t c) {
    for (const Escape& e : kEscapes) {
        if (e.plain == c) {
            return e.code;
        }
    }
    return 0;
}

char16_t CharOf(char16_t code) {
    for (const Escape& e : kEscapes) {
        if (e.code == code) {
            return e.plain;
        }
    }
    return 0;
}

} // namespace

QString EscapeValue(QStringView value) {
    const auto plain = [](QChar c) {
        return CodeOf(c.unicode()) == 0;
    };
    if (std::all_of(value.begin(), value.end(), plain)) {
        return value.toString();
    }
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        if (const char16_t code = CodeOf(c.unicode()); code != 0) {
            out += QChar(EscapeChar);
            out += QChar(code);
        } else {
            out += c;
        }
    }
    return out;
}

QString UnescapeValue(QStringView value) {
    if (!value.contains(QChar(EscapeChar))) {
        return value.toString();
    }
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t next = i + 1 < value.size() ? value[i + 1].unicode() : 0;
        if (value[i] == QChar(EscapeChar) && CharOf(next) != 0) {
            out += QChar(CharOf(next));
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

} // namespace rdp::store

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
constexpr Escape kBlank = {u' ', u'B'}; // at the start or end of a value only

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
    return code == kBlank.code ? kBlank.plain : char16_t(0);
}

} // namespace

QString EscapeValue(QStringView value) {
    const auto plain = [](QChar c) {
        return CodeOf(c.unicode()) == 0;
    };
    const bool blankEnds = value.startsWith(u' ') || value.endsWith(u' ');
    if (!blankEnds && std::all_of(value.begin(), value.end(), plain)) {
        return value.toString();
    }
    // The blanks before the first and after the last other character.
    qsizetype first = 0;
    while (first < value.size() && value[first] == u' ') {
        ++first;
    }
    qsizetype end = value.size();
    while (end > first && value[end - 1] == u' ') {
        --end;
    }
    QString out;
    out.reserve(value.size() + 2);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        const char16_t code = (i < first || i >= end) ? kBlank.code : CodeOf(c);
        if (code != 0) {
            out += QChar(EscapeChar);
            out += QChar(code);
        } else {
            out += QChar(c);
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

#include "common/TextHelpers.h"

#include "common/Errors.h"

#include <algorithm>

namespace RDP_basPublic {

QStringView TrimSpaces(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == u' ') {
        --end;
    }
    return text.sliced(begin, end - begin);
}

QString PadZero(const QString& text, int width) {
    if (text.size() > 32767) {
        throw rdp::MakeError(rdp::ErrorNumber::Overflow);
    }
    const QStringView trimmed = TrimSpaces(text);
    QString result;
    if (trimmed.size() < width) {
        result.fill(u'0', width - trimmed.size());
    }
    result += trimmed;
    return result;
}

namespace {

char16_t AsciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c;
}

// Equal ignoring letter case as QStringView::compare folds it: ASCII directly, any other
// character by Qt's comparison.
bool SameName(QStringView name, QStringView key) {
    if (name.size() != key.size()) {
        return false; // letter case is folded code unit by code unit
    }
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t a = name[i].unicode();
        const char16_t b = key[i].unicode();
        if (a >= 0x80 || b >= 0x80) {
            return name.compare(key, Qt::CaseInsensitive) == 0;
        }
        if (AsciiLower(a) != AsciiLower(b)) {
            return false;
        }
    }
    return true;
}

// The first `c` from `from`, or -1; items are short, so a plain loop beats the library's.
qsizetype IndexOf(QStringView text, QChar c, qsizetype from = 0) {
    const auto end = text.end();
    const auto at = std::find(text.begin() + from, end, c);
    return at == end ? -1 : at - text.begin();
}

qsizetype FindSeparator(QStringView text, QStringView separator) {
    if (separator.isEmpty()) {
        return -1;
    }
    return separator.size() == 1 ? IndexOf(text, separator.front()) : text.indexOf(separator);
}

} // namespace

KeyValueItems::KeyValueItems(const QList<QStringView>& items, QStringView separator) {
    entries_.reserve(static_cast<std::size_t>(items.size()));
    for (const QStringView text : items) {
        AddItem(text, separator);
    }
}

KeyValueItems::KeyValueItems(QStringView line, QChar itemSeparator, QStringView separator) {
    entries_.reserve(20);
    qsizetype from = 0;
    for (;;) {
        const qsizetype end = IndexOf(line, itemSeparator, from);
        AddItem(line.sliced(from, (end < 0 ? line.size() : end) - from), separator);
        if (end < 0) {
            return;
        }
        from = end + 1;
    }
}

void KeyValueItems::AddItem(QStringView text, QStringView separator) {
    if (text.isEmpty()) {
        return;
    }
    const qsizetype first = FindSeparator(text, separator);
    if (first < 0) {
        const QStringView name = TrimSpaces(text);
        entries_.push_back({name, QStringView(), false});
        return;
    }
    QStringView value = text.sliced(first + separator.size());
    const qsizetype second = FindSeparator(value, separator);
    if (second >= 0) {
        value = value.first(second);
    }
    const QStringView name = TrimSpaces(text.first(first));
    entries_.push_back({name, TrimSpaces(value), true});
}

std::optional<QStringView> KeyValueItems::Find(QStringView key) const {
    for (const Entry& e : entries_) {
        if (!SameName(e.name, key)) {
            continue;
        }
        if (!e.hasSeparator) {
            throw rdp::MakeError(rdp::ErrorNumber::SubscriptOutOfRange);
        }
        return e.value;
    }
    return std::nullopt;
}

std::optional<QString> KeyValueItems::Value(QStringView key) const {
    const std::optional<QStringView> value = Find(key);
    return value ? std::optional<QString>(value->toString()) : std::nullopt;
}

std::optional<QString> GetKeyValue(const QStringList& items, const QString& key,
                                   const QString& separator) {
    const QList<QStringView> views(items.begin(), items.end());
    return KeyValueItems(views, separator).Value(key);
}

} // namespace RDP_basPublic

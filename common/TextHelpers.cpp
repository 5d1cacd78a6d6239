#include "common/TextHelpers.h"

#include "common/Errors.h"

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

KeyValueItems::KeyValueItems(const QList<QStringView>& items, QStringView separator) {
    entries_.reserve(static_cast<std::size_t>(items.size()));
    const auto find = [separator](QStringView text) {
        if (separator.isEmpty()) {
            return qsizetype(-1);
        }
        return separator.size() == 1 ? text.indexOf(separator.front()) : text.indexOf(separator);
    };
    for (const QStringView text : items) {
        if (text.isEmpty()) {
            continue;
        }
        const qsizetype first = find(text);
        if (first < 0) {
            entries_.push_back({TrimSpaces(text), QStringView(), false});
            continue;
        }
        QStringView value = text.sliced(first + separator.size());
        const qsizetype second = find(value);
        if (second >= 0) {
            value = value.first(second);
        }
        entries_.push_back({TrimSpaces(text.first(first)), TrimSpaces(value), true});
    }
}

std::optional<QString> KeyValueItems::Value(QStringView key) const {
    for (const Entry& e : entries_) {
        // Letter case is folded code unit by code unit, so different lengths never match.
        if (e.name.size() != key.size() || e.name.compare(key, Qt::CaseInsensitive) != 0) {
            continue;
        }
        if (!e.hasSeparator) {
            throw rdp::MakeError(rdp::ErrorNumber::SubscriptOutOfRange);
        }
        return e.value.toString();
    }
    return std::nullopt;
}

std::optional<QString> GetKeyValue(const QStringList& items, const QString& key,
                                   const QString& separator) {
    const QList<QStringView> views(items.begin(), items.end());
    return KeyValueItems(views, separator).Value(key);
}

std::optional<QString> GetKeyValue(const QList<QStringView>& items, QStringView key,
                                   QStringView separator) {
    return KeyValueItems(items, separator).Value(key);
}

} // namespace RDP_basPublic

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

namespace {

template <typename Items, typename View>
std::optional<QString> FindKeyValue(const Items& items, View key, View separator) {
    for (const auto& item : items) {
        const QStringView text(item);
        if (text.isEmpty()) {
            continue;
        }
        const qsizetype first = separator.isEmpty() ? -1 : text.indexOf(separator);
        const QStringView name = TrimSpaces(first < 0 ? text : text.first(first));
        // Letter case is folded code unit by code unit, so different lengths never match.
        if (name.size() != key.size() || name.compare(key, Qt::CaseInsensitive) != 0) {
            continue;
        }
        if (first < 0) {
            throw rdp::MakeError(rdp::ErrorNumber::SubscriptOutOfRange);
        }
        QStringView value = text.sliced(first + separator.size());
        const qsizetype second = value.indexOf(separator);
        if (second >= 0) {
            value = value.first(second);
        }
        return TrimSpaces(value).toString();
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> GetKeyValue(const QStringList& items, const QString& key,
                                   const QString& separator) {
    return FindKeyValue(items, QStringView(key), QStringView(separator));
}

std::optional<QString> GetKeyValue(const QList<QStringView>& items, QStringView key,
                                   QStringView separator) {
    return FindKeyValue(items, key, separator);
}

} // namespace RDP_basPublic

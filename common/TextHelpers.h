#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <vector>

namespace RDP_basPublic {

// The text without spaces (U+0020 only) at either end.
QStringView TrimSpaces(QStringView text);

// The text trimmed of spaces and, when shorter than `width`, filled with "0" in front up
// to that width. Longer texts are not cut. Lengths count in 16 bits: a text of more than
// 32767 characters throws rdp::Error (overflow).
QString PadZero(const QString& text, int width);

// The value of the first item whose name (the part before `separator`, trimmed of spaces)
// equals `key` ignoring letter case: the part between the first and the second separator,
// trimmed. Empty items are skipped. No match gives no value (std::nullopt), which callers
// read as empty text or 0; a matching item without separator throws rdp::Error
// (subscript out of range).
std::optional<QString> GetKeyValue(const QStringList& items, const QString& key,
                                   const QString& separator);

// GetKeyValue over one array of items for many keys: each item is split once.
class KeyValueItems final {
public:
    KeyValueItems(const QList<QStringView>& items, QStringView separator);
    // The items of `line` split at every `itemSeparator`, without a list of them.
    KeyValueItems(QStringView line, QChar itemSeparator, QStringView separator);

    std::optional<QString> Value(QStringView key) const;
    // Value as a view into the items' text, which must outlive it.
    std::optional<QStringView> Find(QStringView key) const;

private:
    struct Entry {
        QStringView name;  // trimmed part before the first separator
        QStringView value; // trimmed part between the first and the second separator
        bool hasSeparator = false;
    };
    void AddItem(QStringView text, QStringView separator);

    std::vector<Entry> entries_;
};

} // namespace RDP_basPublic

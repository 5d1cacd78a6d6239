#pragma once

#include "common/TextHelpers.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace rdp::store {

// The items of one decoded store line (split at every ";") and the conversions of their
// values. An absent key reads as empty text or 0; a value that is not a decimal number
// (empty included) throws rdp::Error (type mismatch), one outside its type's range
// rdp::Error (overflow); an item of a looked-up key without "=" throws rdp::Error (subscript
// out of range), as GetKeyValue does.
class StoreFields final {
public:
    explicit StoreFields(const QString& line); // kept by the caller while this is used

    QString Text(QStringView key) const; // a text value, its escapes undone
    QString RawText(QStringView key) const;
    std::uint8_t Flag(QStringView key) const; // rounded, halves to even, 0 to 255
    float Code(QStringView key) const;
    std::int32_t Int(QStringView key) const; // rounded, halves to even

    // The key looked up last: the one at fault when a lookup threw.
    QStringView lastKey() const { return lastKey_; }

private:
    std::optional<QStringView> Value(QStringView key) const; // a view into the line
    std::optional<double> Number(QStringView key) const;

    RDP_basPublic::KeyValueItems values_;
    mutable QStringView lastKey_;
};

} // namespace rdp::store

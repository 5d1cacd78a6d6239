#pragma once

#include <QString>
#include <QStringView>

namespace rdp::store {

// Text values of the store are written with ";" as "¶S", "=" as "¶E" and "¶" as "¶P", so
// that the reader's split at ";" and "=" leaves them whole, and with each blank at their
// start or end as "¶B", so that the reader's trimming leaves them whole (a password may
// begin or end with blanks). "¶" (U+00B6) is a character code page 936 lacks: stores of
// earlier versions kept such characters as "?", so they never hold one, and every value
// without these characters is written as it is.
inline constexpr char16_t EscapeChar = u'\u00B6';

QString EscapeValue(QStringView value);

// Undoes exactly the four sequences above; any other "¶" stays as it is.
QString UnescapeValue(QStringView value);

} // namespace rdp::store

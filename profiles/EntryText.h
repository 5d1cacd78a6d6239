#pragma once

#include <QString>
#include <QStringView>

namespace rdp {

// Whether a name, server or user name typed for a profile holds a control character (tab,
// CR, LF, anything else below U+0020, DEL, or U+0080 to U+009F): it would show broken in the
// lists. ";" and "=" are not control characters: the store keeps them through its escape.
bool HasControlCharacter(QStringView text);

// The refusal of such a text: `field` (for instance "连接名称") and what it may not hold.
QString ControlCharacterMessage(const QString& field);

} // namespace rdp

#include "profiles/EntryText.h"

#include <algorithm>

namespace rdp {

bool HasControlCharacter(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return u < 0x20 || (u >= 0x7F && u <= 0x9F);
    });
}

QString ControlCharacterMessage(const QString& field) {
    return field + QStringLiteral("不能包含制表符、回车、换行等控制字符。");
}

} // namespace rdp

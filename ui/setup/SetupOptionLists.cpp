#include "ui/setup/SetupOptionLists.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <cmath>

namespace SetupOptionLists {

QStringList DesktopSizeEntries() {
    return {QStringLiteral("最大屏幕"), QStringLiteral("1280 x 768 像素"),
            QStringLiteral("1024 x 768 像素"), QStringLiteral("800 x 600 像素"),
            QStringLiteral("最大屏幕(宽屏)")};
}

QStringList ColorDepthEntries() {
    return {QStringLiteral("256 色"), QStringLiteral("增强色(15 位)")};
}

QStringList AudioModeEntries() {
    return {QStringLiteral("带到这台计算机播放"), QStringLiteral("不要播放"),
            QStringLiteral("留在远程计算机播放")};
}

void Fill(QComboBox* list, const QStringList& entries) {
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItems(entries);
}

void SelectCode(QComboBox* list, float code) {
    const double place = std::nearbyint(static_cast<double>(code));
    const bool inList = place >= 0 && place < list->count();
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(inList ? static_cast<int>(place) : -1);
}

float CodeOf(const QComboBox* list, float stored) {
    const int place = list->currentIndex();
    return place < 0 ? stored : static_cast<float>(place);
}

} // namespace SetupOptionLists

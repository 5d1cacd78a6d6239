#pragma once

#include <QPointer>
#include <QWidget>

namespace RDP_basUI {

// Remembers the control that holds the keyboard when it is made, and gives the keyboard
// back to it, activating its window, when it goes: around a modal message or window, so
// that the user goes on typing where they were. Nothing happens when that control or its
// window is gone or hidden by then.
class FocusReturn final {
public:
    // The focused control of the application, or the control last focused in `window`
    // when it is given.
    explicit FocusReturn(QWidget* window = nullptr);
    ~FocusReturn();
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

private:
    QPointer<QWidget> control_;
};

} // namespace RDP_basUI

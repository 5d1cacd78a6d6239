#include "session/StatusPanel.h"

#include <QChildEvent>
#include <QGuiApplication>
#include <QPainter>
#include <qguiapplication_platform.h>

#include <xcb/xcb.h>

namespace {

xcb_connection_t* XConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

} // namespace

StatusPanel::StatusPanel(QWidget* parent) : QWidget(parent), byServer_(XConnection() != nullptr) {
    if (byServer_) {
        setAttribute(Qt::WA_PaintOnScreen);
        setAttribute(Qt::WA_NativeWindow);
        setAttribute(Qt::WA_OpaquePaintEvent);
    } else {
        setAutoFillBackground(true);
    }
}

QPaintEngine* StatusPanel::paintEngine() const {
    return byServer_ ? nullptr : QWidget::paintEngine();
}

// The X server fills the panel on screen; grab() and render() get it from here.
void StatusPanel::paintEvent(QPaintEvent*) {
    if (byServer_ && redirected(nullptr) != nullptr) {
        QPainter(this).fillRect(rect(), palette().window());
    }
}

// A new window (the session window's own is made again when its flags change) or a new
// colour: the background is set again. Children fill their own background.
bool StatusPanel::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    const QEvent::Type t = event->type();
    if (byServer_ && t == QEvent::ChildAdded) {
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) {
            child->setAutoFillBackground(true);
        }
    }
    // Qt leaves its buffer unpainted under the panel's own window: once the panel hides, the
    // window under it is painted again rather than shown as that buffer held it.
    if (byServer_ && t == QEvent::Hide && parentWidget() != nullptr) {
        parentWidget()->update(geometry());
    }
    if (byServer_ && internalWinId() != 0 &&
        (t == QEvent::WinIdChange || t == QEvent::Show || t == QEvent::PaletteChange)) {
        fillByServer();
    }
    return handled;
}

void StatusPanel::fillByServer() {
    xcb_connection_t* c = XConnection();
    const auto window = static_cast<xcb_window_t>(internalWinId());
    const std::uint32_t pixel = palette().window().color().rgb() & 0xffffffu;
    xcb_change_window_attributes(c, window, XCB_CW_BACK_PIXEL, &pixel);
    xcb_clear_area(c, 0, window, 0, 0, 0, 0);
    xcb_flush(c);
}

#include "session/freerdp/control/ScreenBlit.h"

#include <QGuiApplication>
#include <QImage>
#include <QWidget>
#include <qguiapplication_platform.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace rdp::freerdp {

SharedPixels SharedPixels::Allocate(std::size_t bytes) {
    SharedPixels p;
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) {
        return p;
    }
    void* at = shmat(id, nullptr, 0);
    // Linux lets the X server attach a segment marked for removal until the last detach.
    shmctl(id, IPC_RMID, nullptr);
    if (at == reinterpret_cast<void*>(-1)) {
        return p;
    }
    p.bits = static_cast<unsigned char*>(at);
    p.id = id;
    return p;
}

void SharedPixels::Release(unsigned char* bits) {
    if (bits != nullptr) {
        shmdt(bits);
    }
}

namespace {

Display* XDisplay() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 != nullptr ? x11->display() : nullptr;
}

bool attachFailed = false;
int NoteAttachError(Display*, XErrorEvent*) {
    attachFailed = true;
    return 0;
}

bool PixelsMatch(Display* d) {
    const int screen = DefaultScreen(d);
    const Visual* v = DefaultVisual(d, screen);
    return DefaultDepth(d, screen) == 24 && v->red_mask == 0xff0000 && v->green_mask == 0xff00 &&
           v->blue_mask == 0xff && ImageByteOrder(d) == LSBFirst;
}

} // namespace

bool ScreenBlit::Available() {
    static const bool available = [] {
        Display* d = XDisplay();
        return d != nullptr && XShmQueryExtension(d) && PixelsMatch(d);
    }();
    return available;
}

struct ScreenBlit::X {
    Display* display = nullptr;
    Window window = 0;
    GC gc = nullptr;
    XShmSegmentInfo segment{};
    bool attached = false;
    int failedSegment = -1;
};

ScreenBlit::ScreenBlit(QWidget* widget) : x_(std::make_unique<X>()) {
    x_->display = XDisplay();
    x_->window = static_cast<Window>(widget->winId());
    x_->gc = XCreateGC(x_->display, x_->window, 0, nullptr);
}

ScreenBlit::~ScreenBlit() {
    detach();
    XFreeGC(x_->display, x_->gc);
}

bool ScreenBlit::attach(int segment) {
    if (x_->attached && x_->segment.shmid == segment) {
        return true;
    }
    if (segment == x_->failedSegment) {
        return false;
    }
    detach();
    x_->segment = XShmSegmentInfo{};
    x_->segment.shmid = segment;
    x_->segment.readOnly = True;
    XSync(x_->display, False);
    attachFailed = false;
    XErrorHandler previous = XSetErrorHandler(&NoteAttachError);
    XShmAttach(x_->display, &x_->segment);
    XSync(x_->display, False);
    XSetErrorHandler(previous);
    x_->attached = !attachFailed;
    if (!x_->attached) {
        x_->failedSegment = segment; // a server on another machine, or in another namespace
    }
    return x_->attached;
}

void ScreenBlit::detach() {
    if (x_->attached) {
        XShmDetach(x_->display, &x_->segment);
        x_->attached = false;
    }
}

bool ScreenBlit::put(const QImage& picture, int segment, const QRegion& region, QPoint shift) {
    if (segment < 0 || !attach(segment)) {
        return false;
    }
    Display* d = x_->display;
    const int screen = DefaultScreen(d);
    XImage image{};
    image.width = picture.width();
    image.height = picture.height();
    image.format = ZPixmap;
    image.data = reinterpret_cast<char*>(const_cast<uchar*>(picture.constBits()));
    image.byte_order = LSBFirst;
    image.bitmap_unit = 32;
    image.bitmap_bit_order = LSBFirst;
    image.bitmap_pad = 32;
    image.depth = 24;
    image.bytes_per_line = static_cast<int>(picture.bytesPerLine());
    image.bits_per_pixel = 32;
    const Visual* v = DefaultVisual(d, screen);
    image.red_mask = v->red_mask;
    image.green_mask = v->green_mask;
    image.blue_mask = v->blue_mask;
    x_->segment.shmaddr = image.data; // the request carries the pixels' offset from here
    image.obdata = reinterpret_cast<char*>(&x_->segment);
    for (const QRect& r : region) {
        XShmPutImage(d, x_->window, x_->gc, &image, r.x(), r.y(), r.x() + shift.x(),
                     r.y() + shift.y(), static_cast<unsigned>(r.width()),
                     static_cast<unsigned>(r.height()), False);
    }
    // The X server reads the segment while it handles each request (no completion event is
    // asked for: Qt's event thread reads this connection's events): one round trip ends the
    // reading of every put above.
    if (!region.isEmpty()) {
        XSync(d, False);
    }
    return true;
}

void ScreenBlit::fill(const QRegion& region, const QColor& colour) {
    XSetForeground(x_->display, x_->gc, colour.rgb() & 0xffffffu);
    for (const QRect& r : region) {
        XFillRectangle(x_->display, x_->window, x_->gc, r.x(), r.y(),
                       static_cast<unsigned>(r.width()), static_cast<unsigned>(r.height()));
    }
}

void ScreenBlit::putImage(const QImage& image, QPoint at) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Display* d = x_->display;
    XImage* x =
        XCreateImage(d, DefaultVisual(d, DefaultScreen(d)), 24, ZPixmap, 0,
                     reinterpret_cast<char*>(const_cast<uchar*>(rgb.constBits())),
                     static_cast<unsigned>(rgb.width()), static_cast<unsigned>(rgb.height()), 32,
                     static_cast<int>(rgb.bytesPerLine()));
    if (x == nullptr) {
        return;
    }
    XPutImage(d, x_->window, x_->gc, x, 0, 0, at.x(), at.y(), static_cast<unsigned>(rgb.width()),
              static_cast<unsigned>(rgb.height()));
    x->data = nullptr; // the QImage's
    XDestroyImage(x);
}

void ScreenBlit::flush() {
    XFlush(x_->display);
}

} // namespace rdp::freerdp

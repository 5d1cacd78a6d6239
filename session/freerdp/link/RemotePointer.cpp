#include "session/freerdp/link/RemotePointer.h"

#include "session/freerdp/link/ContextCallbacks.h"
#include "session/freerdp/link/FreeRdpSession.h"

#include <freerdp/codec/color.h>
#include <freerdp/gdi/gdi.h>

#include <algorithm>

namespace rdp::freerdp {
namespace {

// The library allocates pointers with the registered size and copies the prototype in;
// the converted cursor hangs off the end.
struct ControlPointer {
    rdpPointer pointer;
    RemoteCursor* cursor;
};

ControlPointer* Extended(rdpPointer* pointer) {
    return reinterpret_cast<ControlPointer*>(pointer);
}

BOOL PointerNew(rdpContext* context, rdpPointer* pointer) {
    const gdiPalette* palette = context->gdi ? &context->gdi->palette : nullptr;
    Extended(pointer)->cursor = new RemoteCursor(CursorFromPointer(*pointer, palette));
    return TRUE;
}

void PointerFree(rdpContext*, rdpPointer* pointer) {
    delete Extended(pointer)->cursor;
    Extended(pointer)->cursor = nullptr;
}

BOOL PointerSet(rdpContext* context, const rdpPointer* pointer) {
    const RemoteCursor* cursor = reinterpret_cast<const ControlPointer*>(pointer)->cursor;
    SessionOf(context)->onCursorChanged(cursor ? *cursor : RemoteCursor{});
    return TRUE;
}

BOOL PointerSetNull(rdpContext* context) {
    SessionOf(context)->onCursorChanged(RemoteCursor{RemoteCursor::Kind::Hidden, {}, {}});
    return TRUE;
}

BOOL PointerSetDefault(rdpContext* context) {
    SessionOf(context)->onCursorChanged(RemoteCursor{});
    return TRUE;
}

BOOL PointerSetPosition(rdpContext* context, UINT32 x, UINT32 y) {
    SessionOf(context)->onCursorMoved(static_cast<int>(x), static_cast<int>(y));
    return TRUE;
}

} // namespace

RemoteCursor CursorFromPointer(const rdpPointer& pointer, const gdiPalette* palette) {
    const int w = static_cast<int>(pointer.width);
    const int h = static_cast<int>(pointer.height);
    if (w <= 0 || h <= 0 || w > 512 || h > 512) {
        return {};
    }
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    if (!freerdp_image_copy_from_pointer_data(
            image.bits(), PIXEL_FORMAT_BGRA32, static_cast<UINT32>(image.bytesPerLine()), 0, 0,
            pointer.width, pointer.height, pointer.xorMaskData, pointer.lengthXorMask,
            pointer.andMaskData, pointer.lengthAndMask, pointer.xorBpp, palette)) {
        return {};
    }
    const QPoint hotSpot(std::min(static_cast<int>(pointer.xPos), w - 1),
                         std::min(static_cast<int>(pointer.yPos), h - 1));
    return RemoteCursor{RemoteCursor::Kind::Image, image, hotSpot};
}

void HookPointer(rdpContext* context) {
    rdpPointer prototype{};
    prototype.size = sizeof(ControlPointer);
    prototype.New = PointerNew;
    prototype.Free = PointerFree;
    prototype.Set = PointerSet;
    prototype.SetNull = PointerSetNull;
    prototype.SetDefault = PointerSetDefault;
    prototype.SetPosition = PointerSetPosition;
    graphics_register_pointer(context->graphics, &prototype);
}

} // namespace rdp::freerdp

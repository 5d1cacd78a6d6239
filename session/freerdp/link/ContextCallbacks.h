#pragma once

#include <freerdp/client/rdpgfx.h>
#include <freerdp/freerdp.h>

namespace rdp::freerdp {

class FreeRdpSession;

// Creates a client context (with the library's built-in channels) whose callbacks all
// forward to `session`. Freed with freerdp_client_context_free.
rdpContext* CreateClientContext(FreeRdpSession* session);

// Subscribes to the channel and connection-state notices and sets the logon-notice
// callback; done once, before the first connection attempt.
void HookContext(rdpContext* context);

// Sets the painting callbacks once the GDI exists, and watches its decoders.
void HookPaint(rdpContext* context);

// Watches the graphics pipeline's decoder once the GDI has joined it.
void HookGraphicsDecoder(rdpContext* context, RdpgfxClientContext* gfx);

void Unhook(rdpContext* context);

// The session a context created by CreateClientContext belongs to.
FreeRdpSession* SessionOf(rdpContext* context);

} // namespace rdp::freerdp

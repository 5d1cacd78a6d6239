#pragma once

#include <QLoggingCategory>

// The program's logging categories, one per area. Their information messages are off by
// default; QT_LOGGING_RULES="rdp.*.info=true" turns all of them on, "rdp.store.info=true"
// one of them. Each is defined in the library of its area.
namespace rdp {

Q_DECLARE_LOGGING_CATEGORY(lcStore)   // "rdp.store": reading, saving and merging WinEx.DLL
Q_DECLARE_LOGGING_CATEGORY(lcSession) // "rdp.session": the session window's steps
Q_DECLARE_LOGGING_CATEGORY(lcFreeRdp) // "rdp.freerdp": the control's session and its states

} // namespace rdp

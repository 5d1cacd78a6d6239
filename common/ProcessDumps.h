#pragma once

namespace rdp {

// Keeps the passwords in this process's memory to itself, as password managers do: no core
// dump is written and no other process of the user may attach a debugger or read its
// memory. True when the system accepted both.
bool ForbidProcessDumps();

} // namespace rdp

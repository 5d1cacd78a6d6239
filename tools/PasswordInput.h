#pragma once

#include "tools/StoreCommands.h"

namespace rdp::tool {

// Fills `profile.password` from where `profile.passwordFrom` says: the first line of standard
// input (its line end removed, the rest exactly as given), or a line typed on the terminal
// without echo. False, after saying why on stderr, when there is none.
bool ReadPassword(NewProfile& profile);

// Overwrites the value of every --password in the process's own command line, so that `ps`
// no longer shows it once the arguments are read (it was visible until then).
void HidePasswordArguments(int argc, char** argv);

} // namespace rdp::tool

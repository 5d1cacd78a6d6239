#pragma once

#include "profiles/RDP_ConnectPara.h"

namespace rdp::store {

// Brings into `mine` what another copy of the program saved since `mine` was last read or
// saved (its Stored() profiles), given the store as it is now (`onDisk`). Profiles are
// matched by name, ignoring letter case, and among equal names by their order:
// - a profile added elsewhere is appended; one changed only elsewhere takes that change;
// - one deleted elsewhere and unchanged here goes, unless it is this copy's selection;
// - one this copy deleted stays deleted;
// - where both sides changed the same profile, this copy's version wins.
// The selection stays on the profile it was on, also among equal names. Returns true when both
// sides changed one profile.
bool MergeStoreChanges(RDP_ConnectPara& mine, const RDP_ConnectPara& onDisk);

// The message shown once after a save that overrode another copy's change.
QString ChangedElsewhereMessage();

} // namespace rdp::store

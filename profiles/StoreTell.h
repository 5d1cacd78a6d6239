#pragma once

#include "profiles/ConnectParaStore.h"

namespace RDP_basClient {

// Tells the user how a load or a save of the store went, through the platform: a failed write
// as the write-failure message ("number:description"), any other failure and then each notice
// as the program's warning. Nothing for a success without notices or a cancelled wait.
// Returns result.ok(). Its own library beside the store's, which shows nothing.
bool TellStoreResult(const StoreResult& result);

} // namespace RDP_basClient

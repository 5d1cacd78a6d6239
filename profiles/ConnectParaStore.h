#pragma once

#include "profiles/RDP_ConnectPara.h"

#include <QString>

namespace RDP_basClient {

// The store "WinEx.DLL" in the program folder.
QString ConnectParaFilePath();
bool ConnectParaFileExists();

// Writes the whole list with its selection; true when the store now holds it. A failed
// save has shown its message and left the previous store as it was. Unexpected errors
// are passed on as rdp::Error.
bool SaveConnectPara(RDP_ConnectPara& list);

// Fills the list from the store. True when the list reflects the store (or there is none);
// false after a damaged store was reported and moved aside.
bool LoadConnectPara(RDP_ConnectPara& list);

} // namespace RDP_basClient

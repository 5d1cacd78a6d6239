#pragma once

#include "profiles/RDP_ConnectPara.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace rdp::store {

// The decoded header line: "Version = 1.0.0; SelectIndex = n; ".
QString HeaderLine(const RDP_ConnectPara& list);

// The decoded record line of one profile: the items of the store in their order, then
// "Server" and "Port". The password is written only when IsSavePassword is exactly 1.
QString RecordLine(const RDP_ConnectParaItems& item);

// The whole store: the header line, then one record line per profile, each encoded and
// ended with CR LF. Throws rdp::Error (overflow) for a line too long to be checked.
QByteArray StoreContent(const RDP_ConnectPara& list);
// The same with the record lines already made (StoredProfiles of the list).
QByteArray StoreContent(const RDP_ConnectPara& list, const std::vector<StoredProfile>& records);

// Each profile's name and record line, as a save writes them.
std::vector<StoredProfile> StoredProfiles(const RDP_ConnectPara& list);

// A stored floating point number in its shortest form (1, not 1.0).
QString NumberText(float value);

} // namespace rdp::store

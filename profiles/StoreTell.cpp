#include "profiles/StoreTell.h"

#include "common/FileLines.h"
#include "common/ShowMsg.h"

namespace RDP_basClient {

bool TellStoreResult(const StoreResult& result) {
    if (result.failure == StoreResult::Failure::WriteError) {
        RDP_basFile::ShowWriteFailure(rdp::Error(result.error, result.text));
    } else if (!result.text.isEmpty()) {
        rdp::Warn(result.text);
    }
    for (const QString& notice : result.notices) {
        rdp::Warn(notice);
    }
    return result.ok();
}

} // namespace RDP_basClient

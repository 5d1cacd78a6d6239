#include "common/LogCategories.h"

namespace rdp {
Q_LOGGING_CATEGORY(lcFreeRdp, "rdp.freerdp", QtWarningMsg)
} // namespace rdp

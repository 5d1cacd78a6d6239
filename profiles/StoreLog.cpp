#include "common/LogCategories.h"

namespace rdp {
Q_LOGGING_CATEGORY(lcStore, "rdp.store", QtWarningMsg)
} // namespace rdp

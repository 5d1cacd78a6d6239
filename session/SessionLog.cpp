#include "common/LogCategories.h"

namespace rdp {
Q_LOGGING_CATEGORY(lcSession, "rdp.session", QtWarningMsg)
} // namespace rdp

#include "listlog.h"

Q_LOGGING_CATEGORY(lcList, "glintora.list")

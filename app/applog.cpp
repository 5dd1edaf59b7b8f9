#include "applog.h"

Q_LOGGING_CATEGORY(lcApp, "glintora.app")

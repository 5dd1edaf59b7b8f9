#include "toolkitlog.h"

Q_LOGGING_CATEGORY(lcToolkit, "glintora.toolkit")

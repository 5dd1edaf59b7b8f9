#include "viewslog.h"

Q_LOGGING_CATEGORY(lcViews, "glintora.views")

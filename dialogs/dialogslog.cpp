#include "dialogslog.h"

Q_LOGGING_CATEGORY(lcDialogs, "glintora.dialogs")

#include "web/logging.h"

Q_LOGGING_CATEGORY(lcWeb, "vantrel.web")

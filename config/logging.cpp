#include "config/logging.h"

Q_LOGGING_CATEGORY(lcConfig, "vantrel.config")

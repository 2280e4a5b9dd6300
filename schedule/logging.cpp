#include "schedule/logging.h"

Q_LOGGING_CATEGORY(lcSchedule, "vantrel.schedule")

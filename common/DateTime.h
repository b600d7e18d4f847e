// Date-time numbers: days since 30 December 1899 00:00 local time, the
// fraction the time of day (the OLE Automation convention the companion
// drawing command writes into the sync file).
#pragma once
#include "os/Os.h"

double DateTimeFromLocal(const os::LocalTime& t);
double NowDateTime(os::Environment& env);

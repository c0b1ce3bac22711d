#include "calendar/DateProc.h"

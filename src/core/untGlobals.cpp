#include "core/untGlobals.h"

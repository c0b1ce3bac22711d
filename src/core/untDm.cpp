#include "core/untDm.h"

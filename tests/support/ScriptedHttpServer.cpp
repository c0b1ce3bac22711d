#include "ScriptedHttpServer.h"

#include "menu/modMouseGlobal.h"

bool menuReady = false;

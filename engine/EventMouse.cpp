#include "EventMouse.h"

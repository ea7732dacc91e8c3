#include "EventKeyboard.h"

#include "InputManager.h"

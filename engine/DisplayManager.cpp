#include "DisplayManager.h"

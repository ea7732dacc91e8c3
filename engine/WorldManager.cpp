#include "WorldManager.h"

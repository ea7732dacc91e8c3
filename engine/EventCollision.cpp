#include "EventCollision.h"

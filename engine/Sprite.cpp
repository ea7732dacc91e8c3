#include "Sprite.h"

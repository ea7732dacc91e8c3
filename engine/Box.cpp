#include "Box.h"

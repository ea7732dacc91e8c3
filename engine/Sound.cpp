#include "Sound.h"

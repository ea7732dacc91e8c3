#include "Music.h"

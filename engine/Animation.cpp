#include "Animation.h"

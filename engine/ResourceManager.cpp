#include "ResourceManager.h"

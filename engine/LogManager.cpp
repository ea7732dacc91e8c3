#include "LogManager.h"

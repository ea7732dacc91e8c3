#include "Manager.h"

#include "EventOut.h"

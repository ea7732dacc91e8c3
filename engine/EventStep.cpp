#include "EventStep.h"

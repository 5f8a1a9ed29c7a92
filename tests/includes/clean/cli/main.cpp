#include "download/plan.h"
#include "link/qt/pump.h"

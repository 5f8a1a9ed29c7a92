#include "download/plan.h"
#include "store/records.h"

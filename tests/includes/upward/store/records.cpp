#include "store/records.h"
#include "link/frames.h"

#include "store/lock.h"
#include "store/config.h"

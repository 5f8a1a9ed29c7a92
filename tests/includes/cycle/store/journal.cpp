#include "store/journal.h"
#include "store/lock.h"

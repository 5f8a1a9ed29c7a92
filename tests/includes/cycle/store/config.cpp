#include "store/config.h"
#include "store/journal.h"

#include "store/records.h"
#include "store/codec.h"

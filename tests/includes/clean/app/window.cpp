#include "library/editor.h"
#include "link/qt/pump.h"

#include "library/editor.h"

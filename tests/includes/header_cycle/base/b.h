#pragma once
#include "base/a.h"

#pragma once
#include "link/frames.h"

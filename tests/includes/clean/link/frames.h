#pragma once
#include "store/records.h"

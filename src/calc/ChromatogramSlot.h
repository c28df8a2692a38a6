#pragma once

// The roles live with the records that carry them; calculators may still
// include them from here.
#include "data/ChromatogramSlot.h"

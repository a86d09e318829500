#pragma once
// TKOV_VonBisDatum lives with the other date types of the platform, so that the
// statistics engine below the windows uses the same type.
#include "kovdateutils.h"

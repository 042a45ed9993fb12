// The exception type of the program's failures (EOrvelleError). It is defined with the SDP rendering,
// the lowest layer that raises it; this header makes it reachable from the inventory.
#pragma once

#include "bluetooth/sdp/Errors.h"

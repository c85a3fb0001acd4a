// Fault injection: lets tests make chosen host operations fail on purpose.
#pragma once

#include "KVXHost.h"

namespace kvx::host {

// True when this call of the operation is to fail (and counts it down).
bool ShouldFail(KVXHostFault fault);

}  // namespace kvx::host

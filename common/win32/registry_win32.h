#pragma once

#include "common/registry.h"

namespace qm::win32 {

// HKEY_LOCAL_MACHINE through the A registry functions.
Registry& SystemRegistry();

}  // namespace qm::win32

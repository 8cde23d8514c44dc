#pragma once

#include "wizard/server_registration.h"

namespace qm::win32 {

// Loads the DLL into this process with OLE initialised and calls its entry point.
ServerRegistration& SystemServerRegistration();

}  // namespace qm::win32

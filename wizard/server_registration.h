#pragma once
// Calling the DLL's own registration entry points, as the installer
// (DllRegisterServer) and the uninstaller (DllUnregisterServer) both do, and
// the message each failure is reported with.

#include <string>

namespace qm {

enum class ServerCallResult {
    Done,
    OleInitFailed,  // OLE could not be initialised as the first user on this thread
    DllNotLoaded,   // the file is missing or is no loadable DLL
    EntryMissing,   // the DLL lacks the entry point
    EntryFailed,    // the entry point returned a negative status
};

class ServerRegistration {
public:
    virtual ~ServerRegistration() = default;
    // Initialises OLE, loads `dll` with its own folder searched first, calls
    // the exported `entry` and unloads the DLL again.
    virtual ServerCallResult call(const std::string& dll, const char* entry) = 0;
};

// The message for a failed call; both programs show the same texts.
const char* ServerCallMessage(ServerCallResult result);

}  // namespace qm

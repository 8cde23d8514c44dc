#include "wizard/win32/system_server_registration.h"

#include <windows.h>
#include <ole2.h>

namespace qm::win32 {
namespace {

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

class OleSession {
public:
    OleSession() : result_(OleInitialize(nullptr)) {}
    ~OleSession() {
        if (SUCCEEDED(result_)) OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    // Only a first initialisation on this thread counts: the DLL must not
    // find OLE in a state someone else set up.
    bool started() const { return result_ == S_OK; }

private:
    HRESULT result_;
};

class LoadedDll {
public:
    explicit LoadedDll(const std::string& path) {
        // No "insert a disk" boxes of the system while the DLL is looked for.
        UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
        module_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        SetErrorMode(previous);
    }
    ~LoadedDll() {
        if (module_) FreeLibrary(module_);
    }
    LoadedDll(const LoadedDll&) = delete;
    LoadedDll& operator=(const LoadedDll&) = delete;
    HMODULE get() const { return module_; }

private:
    HMODULE module_ = nullptr;
};

class Win32ServerRegistration : public ServerRegistration {
public:
    ServerCallResult call(const std::string& dll, const char* entry) override {
        OleSession ole;
        if (!ole.started()) return ServerCallResult::OleInitFailed;
        LoadedDll loaded(dll);
        if (!loaded.get()) return ServerCallResult::DllNotLoaded;
        auto function = reinterpret_cast<EntryPoint>(
            reinterpret_cast<void*>(GetProcAddress(loaded.get(), entry)));
        if (!function) return ServerCallResult::EntryMissing;
        return FAILED(function()) ? ServerCallResult::EntryFailed : ServerCallResult::Done;
    }
};

}  // namespace

ServerRegistration& SystemServerRegistration() {
    static Win32ServerRegistration registration;
    return registration;
}

}  // namespace qm::win32

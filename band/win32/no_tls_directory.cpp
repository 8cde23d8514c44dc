// The start-up code calls the runtime's TLS callback only through this
// pointer; defined here as null, the runtime's TLS support, and with it the
// DLL's TLS directory, stays out of the link. Windows 95 refuses to load a
// DLL with one, and nothing of ours uses implicit thread-local storage.
#include <windows.h>

extern "C" const PIMAGE_TLS_CALLBACK __dyn_tls_init_callback = nullptr;

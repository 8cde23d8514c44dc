#include "lab/win32/shell_watch.h"

#include <string>

#include "lab/trace_lines.h"

namespace qm::lab {
namespace {

// The one watch whose band is open; the band runs on the lab's thread.
ShellWatch* g_active = nullptr;
Trace* g_trace = nullptr;

// What ShellExecuteA answers when it did what was asked (above 32).
constexpr INT_PTR kShellDone = 42;

// The slot of the module's import address table that holds `function` of
// `library`, found by the names the module imports; null when none.
void** ImportSlot(HMODULE module, const char* library, const char* function) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!imports.VirtualAddress) return nullptr;
    for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         entry->Name; ++entry) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), library) != 0) continue;
        DWORD namesAt = entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesAt);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
    }
    return nullptr;
}

bool Write(void** slot, void* value) {
    DWORD was = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &was)) return false;
    *slot = value;
    VirtualProtect(slot, sizeof *slot, was, &was);
    return true;
}

std::string Text(LPCSTR text) {
    return text ? std::string(text) : std::string();
}

}  // namespace

bool ShellWatch::attach(IUnknown* object) {
    detach();
    HMODULE module = nullptr;
    // The object's table of methods lies in the module that made it.
    const void* code = object ? *reinterpret_cast<void* const*>(object) : nullptr;
    if (!code || !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                         GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                     static_cast<LPCSTR>(code), &module)) {
        return false;
    }
    void** slot = ImportSlot(module, "shell32.dll", "ShellExecuteA");
    if (!slot) return false;
    void* original = *slot;
    if (!Write(slot, reinterpret_cast<void*>(&ShellWatch::Open))) return false;
    module_ = module;
    slot_ = slot;
    original_ = original;
    g_active = this;
    g_trace = &trace_;
    return true;
}

void ShellWatch::detach() {
    if (!slot_) return;
    HMODULE still = nullptr;
    // Put back only into the module still loaded where it was.
    if (GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCSTR>(slot_), &still) &&
        still == module_) {
        Write(slot_, original_);
    }
    if (g_active == this) {
        g_active = nullptr;
        g_trace = nullptr;
    }
    slot_ = nullptr;
    original_ = nullptr;
    module_ = nullptr;
}

HINSTANCE WINAPI ShellWatch::Open(HWND, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR, INT) {
    if (g_trace) g_trace->add(lines::ShellOpen(Text(verb), Text(file), Text(parameters)));
    return reinterpret_cast<HINSTANCE>(kShellDone);
}

}  // namespace qm::lab

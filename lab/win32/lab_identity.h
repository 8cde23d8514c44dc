#pragma once
// Private interface ids by which the lab finds its own objects behind an
// interface pointer a caller hands back (a browser returned through
// NewWindow2's ppDisp, a handler function put into a property).

#include <windows.h>

namespace qm::lab {

// {6F1C2A41-3B7D-4E58-9C0A-51D7E2B84A01}
constexpr IID kLabBrowserIid = {
    0x6f1c2a41, 0x3b7d, 0x4e58, {0x9c, 0x0a, 0x51, 0xd7, 0xe2, 0xb8, 0x4a, 0x01}};
// {6F1C2A41-3B7D-4E58-9C0A-51D7E2B84A02}
constexpr IID kLabScriptFunctionIid = {
    0x6f1c2a41, 0x3b7d, 0x4e58, {0x9c, 0x0a, 0x51, 0xd7, 0xe2, 0xb8, 0x4a, 0x02}};

// The lab object of type T behind `object`, found by QueryInterface for
// `iid`, which T answers with its `Primary` interface. No reference is
// kept: the caller's own reference keeps the object alive.
template <class T, class Primary>
T* LabObjectBehind(IUnknown* object, const IID& iid) {
    if (!object) return nullptr;
    Primary* primary = nullptr;
    if (FAILED(object->QueryInterface(iid, reinterpret_cast<void**>(&primary))) || !primary) {
        return nullptr;
    }
    primary->Release();
    return static_cast<T*>(primary);
}

}  // namespace qm::lab

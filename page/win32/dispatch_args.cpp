#include "page/win32/dispatch_args.h"

#include <oleauto.h>

namespace qm {
namespace {

// Follows one VT_BYREF|VT_VARIANT to the value it points at.
const VARIANT* Deref(const VARIANT* arg) {
    if (arg && V_VT(arg) == (VT_BYREF | VT_VARIANT)) return V_VARIANTREF(arg);
    return arg;
}

}  // namespace

const VARIANT* EventArg(const DISPPARAMS* params, unsigned index) {
    if (!params || !params->rgvarg || index >= params->cArgs) return nullptr;
    return &params->rgvarg[params->cArgs - 1 - index];
}

std::wstring ArgText(const VARIANT* arg) {
    arg = Deref(arg);
    if (!arg) return {};
    BSTR text = nullptr;
    if (V_VT(arg) == VT_BSTR) {
        text = V_BSTR(arg);
    } else if (V_VT(arg) == (VT_BYREF | VT_BSTR) && V_BSTRREF(arg)) {
        text = *V_BSTRREF(arg);
    }
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

IDispatch* ArgDispatch(const VARIANT* arg) {
    arg = Deref(arg);
    if (!arg) return nullptr;
    if (V_VT(arg) == VT_DISPATCH) return V_DISPATCH(arg);
    if (V_VT(arg) == (VT_BYREF | VT_DISPATCH) && V_DISPATCHREF(arg)) return *V_DISPATCHREF(arg);
    return nullptr;
}

std::optional<LONG> ArgLong(const VARIANT* arg) {
    arg = Deref(arg);
    if (!arg) return std::nullopt;
    switch (V_VT(arg)) {
        case VT_I4:
            return V_I4(arg);
        case VT_INT:
            return V_INT(arg);
        case VT_BYREF | VT_I4:
            if (V_I4REF(arg)) return *V_I4REF(arg);
            break;
    }
    return std::nullopt;
}

std::optional<VARIANT_BOOL> ArgBool(const VARIANT* arg) {
    arg = Deref(arg);
    if (!arg) return std::nullopt;
    if (V_VT(arg) == VT_BOOL) return V_BOOL(arg);
    if (V_VT(arg) == (VT_BYREF | VT_BOOL) && V_BOOLREF(arg)) return *V_BOOLREF(arg);
    return std::nullopt;
}

IDispatch** ArgDispatchSlot(const VARIANT* arg) {
    if (!arg || V_VT(arg) != (VT_BYREF | VT_DISPATCH)) return nullptr;
    return V_DISPATCHREF(arg);
}

VARIANT_BOOL* ArgBoolSlot(const VARIANT* arg) {
    if (!arg || V_VT(arg) != (VT_BYREF | VT_BOOL)) return nullptr;
    return V_BOOLREF(arg);
}

void SetBoolResult(VARIANT* result, bool value) {
    if (!result) return;
    VariantClear(result);
    V_VT(result) = VT_BOOL;
    V_BOOL(result) = value ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace qm

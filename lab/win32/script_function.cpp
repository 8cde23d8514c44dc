#include "lab/win32/script_function.h"

#include "common/win32/qi_table.h"
#include "lab/win32/lab_identity.h"

namespace qm::lab {

win32::ComPtr<ScriptFunction> ScriptFunction::Create(std::string script) {
    win32::ComPtr<ScriptFunction> function;
    function.attach(new ScriptFunction(std::move(script)));
    return function;
}

ScriptFunction* ScriptFunction::From(IUnknown* object) {
    return LabObjectBehind<ScriptFunction, IDispatch>(object, kLabScriptFunctionIid);
}

HRESULT STDMETHODCALLTYPE ScriptFunction::QueryInterface(REFIID iid, void** ppv) {
    const win32::QiItem table[] = {win32::QiEntry<IDispatch>(this),
                                   win32::QiEntry<IDispatch>(this, kLabScriptFunctionIid)};
    return win32::QueryInterfaceFromTable(table, iid, ppv);
}

void SetHandlerScript(VARIANT& handler, const std::string& script) {
    VariantClear(&handler);
    handler.vt = VT_DISPATCH;
    handler.pdispVal = ScriptFunction::Create(script).detach();
}

bool HandlerIsSet(const VARIANT& handler) {
    if (handler.vt == VT_EMPTY || handler.vt == VT_NULL) return false;
    // The first data word: the pointer or number the variant carries.
    return handler.lVal != 0;
}

}  // namespace qm::lab

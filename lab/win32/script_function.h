#pragma once
// A page script held in a handler property (body onunload, window
// onbeforeunload, ...), as the browser gives a handler: a dispatch object.

#include <windows.h>

#include <string>

#include "common/win32/com_ptr.h"
#include "lab/win32/com_object.h"

namespace qm::lab {

class ScriptFunction final : public IDispatch {
public:
    static win32::ComPtr<ScriptFunction> Create(std::string script);
    static ScriptFunction* From(IUnknown* object);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    QM_LAB_REFCOUNT_METHODS
    QM_LAB_NO_LATE_BINDING

    const std::string& script() const { return script_; }

private:
    explicit ScriptFunction(std::string script) : script_(std::move(script)) {}
    ~ScriptFunction() = default;

    RefCount refs_;
    std::string script_;
};

// A handler property's value: a variant holding the script's function.
void SetHandlerScript(VARIANT& handler, const std::string& script);
// A handler counts as set as the band tests it: neither empty nor null and
// its first data word not zero.
bool HandlerIsSet(const VARIANT& handler);

}  // namespace qm::lab

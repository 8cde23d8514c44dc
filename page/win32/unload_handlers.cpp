#include "page/win32/unload_handlers.h"

#include <cstring>

#include "common/win32/bstr.h"
#include "common/win32/com_ptr.h"
#include "page/unload_neutralizer.h"
#include "page/win32/dom.h"

namespace qm {
namespace {

using win32::Bstr;
using win32::ComPtr;
using win32::Variant;

constexpr wchar_t kClearBodyNow[] = L"document.body.onunload=\"\";";
constexpr wchar_t kClearBodyLater[] = L"setTimeout('document.body.onunload=\"\"', 1000);";

// Set: neither empty nor null, and the pointer or number it carries is not zero.
bool IsHandlerSet(const VARIANT& handler) {
    if (V_VT(&handler) == VT_EMPTY || V_VT(&handler) == VT_NULL) return false;
    void* word = nullptr;
    std::memcpy(&word, &V_BYREF(&handler), sizeof word);
    return word != nullptr;
}

VARIANT NullDispatch() {
    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_DISPATCH;
    V_DISPATCH(&value) = nullptr;
    return value;
}

// Body, window and frameset all carry the pair of handler properties.
template <typename Owner>
void ClearHandlerPair(Owner* owner) {
    Variant handler;
    if (SUCCEEDED(owner->get_onbeforeunload(handler.get())) && IsHandlerSet(*handler)) {
        owner->put_onbeforeunload(NullDispatch());
    }
    if (SUCCEEDED(owner->get_onunload(handler.put())) && IsHandlerSet(*handler)) {
        owner->put_onunload(NullDispatch());
    }
}

void RunScript(IHTMLWindow2* window, const wchar_t* code) {
    Bstr script(code);
    Bstr language(L"Javascript");
    Variant result;
    window->execScript(script.get(), language.get(), result.get());
}

void ClearBody(IHTMLDocument2* document) {
    ComPtr<IHTMLElement> body;
    if (FAILED(document->get_body(body.put())) || !body) return;
    std::wstring tag = TagNameOf(body.get());
    if (tag != L"body" && tag != L"BODY") {
        // A frameset page has its FRAMESET here: no body scripts, but the
        // frameset's own handlers must go too, and its frames may not
        // offer it.
        if (ComPtr<IHTMLFrameSetElement> frameSet = body.as<IHTMLFrameSetElement>()) {
            ClearHandlerPair(frameSet.get());
        }
        return;
    }
    ComPtr<IHTMLBodyElement> element = body.as<IHTMLBodyElement>();
    if (!element) return;
    ClearHandlerPair(element.get());
    // The page itself empties the handler again, now and once its own
    // scripts have had a second to set it anew.
    if (ComPtr<IHTMLWindow2> window = WindowOf(document)) {
        RunScript(window.get(), kClearBodyNow);
        RunScript(window.get(), kClearBodyLater);
    }
}

void ClearScriptBlocks(IHTMLDocument2* document) {
    ComPtr<IHTMLElementCollection> scripts;
    if (FAILED(document->get_scripts(scripts.put())) || !scripts) return;
    LONG length = 0;
    if (FAILED(scripts->get_length(&length))) return;
    for (LONG i = 0; i < length; ++i) {
        VARIANT index;
        VariantInit(&index);
        V_VT(&index) = VT_I4;
        V_I4(&index) = i;
        VARIANT none;
        VariantInit(&none);
        ComPtr<IDispatch> item;
        if (FAILED(scripts->item(index, none, item.put())) || !item) continue;
        ComPtr<IHTMLScriptElement> script = item.as<IHTMLScriptElement>();
        if (!script) continue;
        Bstr event;
        if (FAILED(script->get_event(event.put()))) continue;
        if (IsUnloadEventName(event.str())) {
            Bstr empty(L"");
            script->put_text(empty.get());
        }
    }
}

}  // namespace

bool ClearUnloadHandlers(IHTMLDocument2* document) {
    if (!document) return false;
    ComPtr<IHTMLDocument2> hold(document);
    ClearBody(document);
    if (ComPtr<IHTMLWindow2> window = WindowOf(document)) ClearHandlerPair(window.get());
    ClearScriptBlocks(document);

    bool result = true;
    ComPtr<IHTMLFramesCollection2> frames;
    LONG length = 0;
    if (FAILED(document->get_frames(frames.put())) || !frames ||
        FAILED(frames->get_length(&length))) {
        return result;
    }
    for (LONG i = 0; i < length; ++i) {
        Variant index;
        V_VT(index.get()) = VT_I4;
        V_I4(index.get()) = i;
        Variant item;
        if (FAILED(frames->item(index.get(), item.get())) || V_VT(item.get()) != VT_DISPATCH ||
            !V_DISPATCH(item.get())) {
            continue;
        }
        ComPtr<IDispatch> frame(V_DISPATCH(item.get()));
        if (ComPtr<IHTMLFrameSetElement> frameSet = frame.as<IHTMLFrameSetElement>()) {
            ClearHandlerPair(frameSet.get());
        }
        ComPtr<IHTMLDocument2> frameDocument = DocumentOf(frame.as<IHTMLWindow2>().get());
        if (frameDocument && result) result = ClearUnloadHandlers(frameDocument.get());
    }
    return result;
}

}  // namespace qm

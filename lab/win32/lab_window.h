#pragma once
// A lab page's window: its name, open and execScript, the current event,
// its two handler properties, its frames and HTMLWindowEvents2.

#include <windows.h>
#include <mshtml.h>

#include <string>

#include "common/win32/com_ptr.h"
#include "lab/win32/com_object.h"
#include "lab/win32/connection_point.h"
#include "lab/win32/stubs/com_stubs.h"

namespace qm::lab {

class LabDocument;

class LabWindow final : public HtmlWindow2Stub, public IConnectionPointContainer {
public:
    static win32::ComPtr<LabWindow> Create(LabDocument& document);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    QM_LAB_REFCOUNT_METHODS
    QM_LAB_NO_LATE_BINDING

    // IHTMLFramesCollection2
    HRESULT STDMETHODCALLTYPE item(VARIANT* index, VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE get_length(LONG* out) override;
    // IHTMLWindow2
    HRESULT STDMETHODCALLTYPE get_frames(IHTMLFramesCollection2** out) override;
    HRESULT STDMETHODCALLTYPE put_name(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_name(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_parent(IHTMLWindow2** out) override;
    HRESULT STDMETHODCALLTYPE open(BSTR url, BSTR name, BSTR features, VARIANT_BOOL replace,
                                   IHTMLWindow2** out) override;
    HRESULT STDMETHODCALLTYPE get_self(IHTMLWindow2** out) override;
    HRESULT STDMETHODCALLTYPE get_top(IHTMLWindow2** out) override;
    HRESULT STDMETHODCALLTYPE get_window(IHTMLWindow2** out) override;
    HRESULT STDMETHODCALLTYPE put_onbeforeunload(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_onbeforeunload(VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE put_onunload(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_onunload(VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE get_document(IHTMLDocument2** out) override;
    HRESULT STDMETHODCALLTYPE get_event(IHTMLEventObj** out) override;
    HRESULT STDMETHODCALLTYPE execScript(BSTR code, BSTR language, VARIANT* result) override;

    // IConnectionPointContainer: HTMLWindowEvents2.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    LabDocument* document() const { return document_; }
    VARIANT& handler(const std::string& event);
    void setEvent(IHTMLEventObj* event) { event_ = win32::ComPtr<IHTMLEventObj>(event); }
    IHTMLEventObj* event() const { return event_.get(); }
    ConnectionPoint& events() { return *events_.get(); }
    void detach();

private:
    explicit LabWindow(LabDocument& document);
    ~LabWindow();

    // The window of the frame (or the top) as callers may have it.
    static HRESULT Answer(LabWindow* window, IHTMLWindow2** out);
    LabWindow* parentWindow() const;

    RefCount refs_;
    LabDocument* document_;
    win32::ComPtr<ConnectionPoint> events_;
    win32::ComPtr<IHTMLEventObj> event_;
    VARIANT onunload_;
    VARIANT onbeforeunload_;
};

}  // namespace qm::lab

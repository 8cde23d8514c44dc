#pragma once
// A lab page's document: its elements (HTML, HEAD with the script blocks,
// BODY or FRAMESET, then the declared elements), its window, its frames,
// its timers and HTMLDocumentEvents2.

#include <windows.h>
#include <mshtml.h>

#include <string>
#include <vector>

#include "common/win32/com_ptr.h"
#include "lab/win32/com_object.h"
#include "lab/win32/connection_point.h"
#include "lab/scenario.h"
#include "lab/win32/scheduler.h"
#include "lab/win32/stubs/com_stubs.h"

namespace qm::lab {

class LabBrowser;
class LabElement;
class LabWindow;

class LabDocument final : public HtmlDocument2Stub, public IConnectionPointContainer {
public:
    // The document of `page` shown in `browser`, with a frame browser for
    // each frame (not loaded yet).
    static win32::ComPtr<LabDocument> Create(LabBrowser& browser, const PageSpec& page,
                                             const std::string& url);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    QM_LAB_REFCOUNT_METHODS
    QM_LAB_NO_LATE_BINDING

    // IHTMLDocument2
    HRESULT STDMETHODCALLTYPE get_all(IHTMLElementCollection** out) override;
    HRESULT STDMETHODCALLTYPE get_body(IHTMLElement** out) override;
    HRESULT STDMETHODCALLTYPE get_scripts(IHTMLElementCollection** out) override;
    HRESULT STDMETHODCALLTYPE put_title(BSTR value) override;
    HRESULT STDMETHODCALLTYPE get_title(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_readyState(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_frames(IHTMLFramesCollection2** out) override;
    HRESULT STDMETHODCALLTYPE get_URL(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_parentWindow(IHTMLWindow2** out) override;
    HRESULT STDMETHODCALLTYPE get_Script(IDispatch** out) override;

    // IConnectionPointContainer: HTMLDocumentEvents2.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    LabBrowser* browser() const { return browser_; }
    LabWindow& window() { return *window_.get(); }
    const PageSpec& page() const { return page_; }
    const std::string& url() const { return url_; }
    const std::string& title() const { return title_; }
    bool hasTitle() const { return hasTitle_; }
    void setTitle(const std::string& title);
    LabElement* body() const { return body_; }
    LabElement* findElement(const std::string& id) const;
    const std::vector<win32::ComPtr<LabElement>>& elements() const { return elements_; }
    const std::vector<win32::ComPtr<LabBrowser>>& frames() const { return frames_; }
    ConnectionPoint& events() { return *events_.get(); }

    // Raises one HTMLDocumentEvents2 event with `source` as its source
    // element; window.event holds it meanwhile. The sinks' answer.
    VARIANT_BOOL fireEvent(DISPID dispid, const char* type, LabElement* source, long button);

    // Moves the focus to `element`; true when it was elsewhere.
    bool activate(LabElement* element);

    // Script blocks without an event, in order (while the page loads).
    void runLoadScripts();
    // The window's load: onload sinks, then the page's load scripts and timers.
    void windowLoaded();
    // A page timer (setTimeout or a declared timer) in real time; it dies with the page.
    void setTimeout(const std::string& script, unsigned milliseconds, const char* origin);

    // Leaving: before-unload then unload handlers and blocks of this
    // document and its frames, then the frames leave.
    void unload();
    // The page is gone: timers stop, frames shut down, the window and the
    // elements no longer reach the document or the browser.
    void detach();

private:
    LabDocument(LabBrowser& browser, const PageSpec& page, const std::string& url);
    ~LabDocument();

    void build();
    void runHandlers(const std::string& event);

    RefCount refs_;
    LabBrowser* browser_;
    const PageSpec& page_;
    std::string url_;
    std::string title_;
    bool hasTitle_ = false;
    win32::ComPtr<LabWindow> window_;
    win32::ComPtr<ConnectionPoint> events_;
    std::vector<win32::ComPtr<LabElement>> elements_;
    LabElement* body_ = nullptr;
    LabElement* active_ = nullptr;
    std::vector<win32::ComPtr<LabBrowser>> frames_;
    std::vector<Scheduler::TaskId> timers_;
};

}  // namespace qm::lab

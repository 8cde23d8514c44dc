#pragma once
// The lab's web browser object: the browser of the IEFrame, of each frame,
// of a window the lab opens, and the capture browsers a band creates. It
// loads scenario pages and raises DWebBrowserEvents2 in the browser's order.

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>
#include <oleidl.h>

#include <string>
#include <vector>

#include "common/win32/com_ptr.h"
#include "lab/win32/com_object.h"
#include "lab/win32/connection_point.h"
#include "lab/win32/lab.h"
#include "lab/win32/stubs/com_stubs.h"

namespace qm::lab {

class LabDocument;

enum class BrowserRole {
    Main,         // the browser of the lab's IEFrame
    Frame,        // the browser of a frame inside a page
    Control,      // a browser control a band hosts (CLSID_WebBrowser): stays hidden
    Application,  // a browser application (CLSID_InternetExplorer): a window of its own
    Window,       // an ordinary window the lab opened for a new window
};

class LabBrowser final : public WebBrowser2Stub,
                         public IConnectionPointContainer,
                         public OleObjectStub,
                         public OleControlStub {
public:
    // Empty when memory runs out.
    static win32::ComPtr<LabBrowser> Create(Lab& lab, BrowserRole role, std::string label,
                                            LabBrowser* parent = nullptr);
    // The lab browser behind an interface pointer, or null.
    static LabBrowser* From(IUnknown* object);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** ppv) override;
    QM_LAB_REFCOUNT_METHODS
    QM_LAB_NO_LATE_BINDING

    // IWebBrowser, IWebBrowserApp, IWebBrowser2: what the band and its
    // callers read and do.
    HRESULT STDMETHODCALLTYPE Navigate(BSTR url, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override;
    HRESULT STDMETHODCALLTYPE Navigate2(VARIANT* url, VARIANT*, VARIANT*, VARIANT*,
                                        VARIANT*) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE get_Application(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Document(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_TopLevelContainer(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE get_Type(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_Left(LONG* out) override;
    HRESULT STDMETHODCALLTYPE put_Left(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Top(LONG* out) override;
    HRESULT STDMETHODCALLTYPE put_Top(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Width(LONG* out) override;
    HRESULT STDMETHODCALLTYPE put_Width(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_Height(LONG* out) override;
    HRESULT STDMETHODCALLTYPE put_Height(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_LocationName(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_LocationURL(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_Busy(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE Quit() override;
    HRESULT STDMETHODCALLTYPE get_HWND(SHANDLE_PTR* out) override;
    HRESULT STDMETHODCALLTYPE get_Visible(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE put_Visible(VARIANT_BOOL value) override;
    HRESULT STDMETHODCALLTYPE get_ReadyState(READYSTATE* out) override;
    HRESULT STDMETHODCALLTYPE ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT* size) override;

    // IConnectionPointContainer: DWebBrowserEvents2.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // IOleObject and IOleControl: what a control-hosting window calls.
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** out) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* out) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispid) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL) override { return S_OK; }

    // The lab's side.
    const std::string& label() const { return label_; }
    BrowserRole role() const { return role_; }
    LabBrowser& topLevel();
    bool isTopLevel() const { return role_ != BrowserRole::Frame; }
    // Where this browser's events are raised: a frame's go to its top level.
    ConnectionPoint& events();
    IDispatch* dispatch() { return static_cast<IWebBrowser2*>(this); }
    LabDocument* document() const { return document_.get(); }
    const std::string& url() const { return url_; }
    const std::string& windowName() const { return windowName_; }
    void setWindowName(std::string name) { windowName_ = std::move(name); }
    bool scriptsAllowed() const;
    bool framesAllowed() const;
    bool quitted() const { return quit_; }
    Lab* lab() const { return lab_; }

    void setHost(BrowserHost* host) { host_ = host; }
    BrowserHost* host() const { return host_; }
    void setFrameName(std::string name) { frameName_ = std::move(name); }

    // BeforeNavigate2 at once; the page arrives after its load time.
    void navigate(const std::string& url);
    // A `javascript:` address: BeforeNavigate2 as for any address, but the
    // page stays and nothing loads. False when a sink cancelled it.
    bool announceScriptAddress(const std::string& url);
    // A frame loads at once, inside its parent's load.
    void loadFrame(const std::string& url);
    // A new window's start: an empty page with its name, the requests of
    // its feature string, then its navigation.
    void startAsNewWindow(const std::string& url, const std::string& name,
                          const std::string& features);
    // Raises the page's window requests and traces them.
    void fireRequests(const std::vector<WindowRequest>& requests);
    // The page leaves (its unload handlers run) and loading stops.
    void leavePage();
    // Stops all loading and forgets the lab and the parent; the page is
    // dropped without running its handlers.
    void shutdown();

private:
    LabBrowser(Lab& lab, BrowserRole role, std::string label, LabBrowser* parent);
    ~LabBrowser();

    void arrive(const std::string& url, unsigned generation);
    void complete(unsigned generation);
    void loadFramesOf(LabDocument& document);
    void cancelStep();
    HWND hostWindow() const;
    HRESULT setWindowEdge(int which, LONG value);

    RefCount refs_;
    Lab* lab_;
    BrowserRole role_;
    std::string label_;
    LabBrowser* parent_;
    BrowserHost* host_ = nullptr;
    win32::ComPtr<ConnectionPoint> events_;
    win32::ComPtr<LabDocument> document_;
    win32::ComPtr<IOleClientSite> clientSite_;
    std::string url_;
    std::string windowName_;
    std::string frameName_;
    bool busy_ = false;
    READYSTATE readyState_ = READYSTATE_UNINITIALIZED;
    bool visible_ = false;
    bool quit_ = false;
    DWORD downloadControl_ = 0;
    SIZEL extent_ = {0, 0};
    Scheduler::TaskId step_ = 0;
    unsigned generation_ = 0;
};

}  // namespace qm::lab

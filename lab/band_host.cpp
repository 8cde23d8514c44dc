#include "lab/band_host.h"

#include <shlobj.h>

#include "lab/bstr.h"
#include "lab/trace_lines.h"

namespace qm::lab {
namespace {

// The id this frame gives its band; the band echoes it in DBID_BANDINFOCHANGED.
constexpr DWORD kBandId = 1;

bool ResolveClass(const std::string& name, CLSID* clsid) {
    std::wstring wide = WideFrom(name);
    if (!wide.empty() && wide[0] == L'{') {
        return SUCCEEDED(CLSIDFromString(const_cast<LPOLESTR>(wide.c_str()), clsid));
    }
    return SUCCEEDED(CLSIDFromProgID(wide.c_str(), clsid));
}

}  // namespace

BandHost::BandHost(Trace& trace, HWND barWindow, IWebBrowser2* browser, std::string band,
                   std::function<void()> relayout)
    : trace_(trace),
      barWindow_(barWindow),
      browser_(browser),
      name_(std::move(band)),
      relayout_(std::move(relayout)) {
    known_ = ResolveClass(name_, &clsid_);
}

BandHost::~BandHost() {
    close();
}

bool BandHost::open() {
    if (band_) return true;
    HRESULT hr = known_ ? CoCreateInstance(clsid_, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                           band_.putVoid())
                        : REGDB_E_CLASSNOTREG;
    if (FAILED(hr) || !band_) {
        band_.reset();
        trace_.add(lines::BandNotCreated(name_, static_cast<std::uint32_t>(hr)));
        return false;
    }
    trace_.add(lines::BandCreated(name_));
    site_ = BarSite::Create(*this, barWindow_, browser_.get());
    win32::ComPtr<IObjectWithSite> withSite = band_.as<IObjectWithSite>();
    hr = withSite ? withSite->SetSite(static_cast<IOleWindow*>(site_.get())) : E_NOINTERFACE;
    trace_.add(lines::BandSetSite(static_cast<std::uint32_t>(hr)));
    win32::ComPtr<IDeskBand> deskBand = band_.as<IDeskBand>();
    if (FAILED(hr) || !deskBand) {
        if (withSite && SUCCEEDED(hr)) withSite->SetSite(nullptr);
        withSite.reset();
        release();
        return false;
    }
    askBandInfo();
    bandWindow_ = nullptr;
    deskBand->GetWindow(&bandWindow_);
    relayout_();
    deskBand->ShowDW(TRUE);
    trace_.add(lines::BarShown(height_));
    return true;
}

void BandHost::close() {
    if (!band_) return;
    win32::ComPtr<IUnknown> band = band_;
    if (win32::ComPtr<IDeskBand> deskBand = band.as<IDeskBand>()) {
        deskBand->ShowDW(FALSE);
        deskBand->CloseDW(0);
    }
    if (win32::ComPtr<IObjectWithSite> withSite = band.as<IObjectWithSite>()) {
        withSite->SetSite(nullptr);
    }
    band.reset();
    trace_.add(lines::BarHidden());
    release();
}

void BandHost::release() {
    if (site_) site_->detach();
    site_.reset();
    bandWindow_ = nullptr;
    height_ = 0;
    IUnknown* band = band_.detach();
    ULONG left = band ? band->Release() : 0;
    trace_.add(lines::BandReleased(left));
    relayout_();
}

bool BandHost::bandWindowVisible() const {
    return bandWindow_ && IsWindow(bandWindow_) && IsWindowVisible(bandWindow_);
}

bool BandHost::isBandClass(const std::wstring& clsid) const {
    CLSID asked;
    if (!known_ || FAILED(CLSIDFromString(const_cast<LPOLESTR>(clsid.c_str()), &asked))) {
        return false;
    }
    return IsEqualCLSID(asked, clsid_);
}

void BandHost::place(int width, int toolbarWidth) {
    if (bandWindow_ && IsWindow(bandWindow_)) {
        SetWindowPos(bandWindow_, nullptr, toolbarWidth, 0, width - toolbarWidth, height_,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void BandHost::askBandInfo() {
    win32::ComPtr<IDeskBand> deskBand = band_.as<IDeskBand>();
    if (!deskBand) return;
    DESKBANDINFO info = {};
    info.dwMask = kBandAllMembers;
    HRESULT hr = deskBand->GetBandInfo(kBandId, DBIF_VIEWMODE_NORMAL, &info);
    if (FAILED(hr)) {
        trace_.add(lines::BandInfoFailed(static_cast<std::uint32_t>(hr)));
        return;
    }
    BandInfoAnswer answer;
    answer.mask = info.dwMask;
    answer.minSize = {info.ptMinSize.x, info.ptMinSize.y};
    answer.maxSize = {info.ptMaxSize.x, info.ptMaxSize.y};
    answer.integral = {info.ptIntegral.x, info.ptIntegral.y};
    answer.actual = {info.ptActual.x, info.ptActual.y};
    info.wszTitle[sizeof info.wszTitle / sizeof info.wszTitle[0] - 1] = 0;
    answer.title = AnsiFrom(info.wszTitle);
    answer.modeFlags = info.dwModeFlags;
    answer.backColor = info.crBkgnd;
    trace_.add(lines::BandInfo(answer));
    height_ = BarHeight(answer);
}

void BandHost::bandInfoChanged() {
    if (!band_) return;
    askBandInfo();
    relayout_();
    trace_.add(lines::BarResized(height_));
}

}  // namespace qm::lab

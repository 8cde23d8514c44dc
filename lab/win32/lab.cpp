#include "lab/win32/lab.h"

#include "lab/win32/browser_events.h"
#include "lab/win32/bstr.h"
#include "lab/win32/lab_browser.h"
#include "lab/win32/lab_document.h"
#include "lab/win32/lab_frame.h"
#include "lab/win32/lab_window.h"
#include "lab/trace_lines.h"

namespace qm::lab {

Lab::Lab(const Scenario& scenario, Trace& trace) : scenario_(scenario), trace_(trace) {}

Lab::~Lab() {
    closeOwnWindows();
    // Browsers someone still holds forget the lab; each takes itself out.
    while (!browsers_.empty()) browsers_.back()->shutdown();
}

const PageSpec& Lab::page(const std::string& url) {
    if (const PageSpec* declared = scenario_.findPage(url)) return *declared;
    for (const PageSpec& known : unknownPages_) {
        if (known.url == url) return known;
    }
    PageSpec empty;
    empty.url = url;
    if (url == "about:blank") empty.loadMs = 0;
    unknownPages_.push_back(std::move(empty));
    return unknownPages_.back();
}

std::string Lab::newLabel(const std::string& prefix) {
    for (auto& [name, count] : labelCounts_) {
        if (name == prefix) return prefix + std::to_string(++count);
    }
    labelCounts_.emplace_back(prefix, 1);
    return prefix + "1";
}

void Lab::add(LabBrowser* browser) {
    browsers_.push_back(browser);
}

void Lab::remove(LabBrowser* browser) {
    for (auto it = browsers_.begin(); it != browsers_.end(); ++it) {
        if (*it == browser) {
            browsers_.erase(it);
            return;
        }
    }
}

LabBrowser* Lab::findNamedWindow(const std::string& name) const {
    for (LabBrowser* browser : browsers_) {
        if (browser->isTopLevel() && !browser->quitted() && browser->windowName() == name) {
            return browser;
        }
    }
    return nullptr;
}

namespace {

win32::ComPtr<IHTMLWindow2> ScriptWindowOf(LabBrowser& browser) {
    LabDocument* document = browser.document();
    return win32::ComPtr<IHTMLWindow2>(document ? &document->window() : nullptr);
}

}  // namespace

win32::ComPtr<IHTMLWindow2> Lab::openNewWindow(LabBrowser& opener, const std::string& url,
                                               const std::string& name, const std::string& features,
                                               const char* by) {
    win32::ComPtr<LabBrowser> top(&opener.topLevel());
    // A window of that name already open receives the address instead.
    if (!name.empty() && name != "_blank") {
        if (LabBrowser* existing = findNamedWindow(name)) {
            win32::ComPtr<LabBrowser> target(existing);
            trace_.add(lines::WindowReused(target->label(), name, url));
            if (!url.empty()) {
                scheduler_.after(0, [target, url] { target->navigate(url); });
            }
            return ScriptWindowOf(*target.get());
        }
    }
    trace_.add(lines::NewWindowAnnounced(url, name, features, by, opener.label()));
    win32::ComPtr<IDispatch> handed;
    if (FireNewWindow2(top->events(), handed)) {
        trace_.add(lines::NewWindowResult(NewWindowOutcome::Cancelled, url, ""));
        return {};
    }
    if (handed) {
        LabBrowser* browser = LabBrowser::From(handed.get());
        trace_.add(lines::NewWindowResult(NewWindowOutcome::Captured, url,
                                          browser ? browser->label() : "other"));
        if (browser) {
            browser->startAsNewWindow(url, name, features);
            return ScriptWindowOf(*browser);
        }
        // Someone else's browser object: it gets the address the public way.
        win32::ComPtr<IWebBrowser2> foreign = handed.as<IWebBrowser2>();
        if (foreign && !url.empty()) {
            scheduler_.after(0, [foreign, url] {
                VARIANT address;
                VariantInit(&address);
                address.vt = VT_BSTR;
                address.bstrVal = AllocBstr(url);
                foreign->Navigate2(&address, nullptr, nullptr, nullptr, nullptr);
                VariantClear(&address);
            });
        }
        return {};
    }
    bool barShown = top->host() && top->host()->barVisible();
    trace_.add(lines::NewWindowResult(
        barShown ? NewWindowOutcome::Allowed : NewWindowOutcome::PassedThrough, url, ""));
    win32::ComPtr<LabBrowser> window =
        LabBrowser::Create(*this, BrowserRole::Window, newLabel("window"));
    if (!window) return {};
    trace_.add(lines::WindowOpened(window->label(), name, features, url));
    showInOwnWindow(*window.get());
    window->startAsNewWindow(url, name, features);
    return ScriptWindowOf(*window.get());
}

void Lab::showInOwnWindow(LabBrowser& browser) {
    auto frame =
        std::make_unique<LabFrame>(*this, win32::ComPtr<LabBrowser>(&browser), LabFrame::Options{});
    frame->show();
    ownWindows_.push_back(std::move(frame));
}

void Lab::closeOwnWindowOf(LabBrowser& browser) {
    win32::ComPtr<LabBrowser> target(&browser);
    scheduler_.after(0, [this, target] {
        for (auto it = ownWindows_.begin(); it != ownWindows_.end(); ++it) {
            if ((*it)->browser() == target.get()) {
                ownWindows_.erase(it);
                return;
            }
        }
    });
}

void Lab::closeOwnWindows() {
    std::vector<std::unique_ptr<LabFrame>> frames;
    frames.swap(ownWindows_);
    frames.clear();
}

}  // namespace qm::lab

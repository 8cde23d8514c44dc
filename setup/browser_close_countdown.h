#pragma once
// How long the installer waits for the browser windows it asked to close:
// one check at each tick of a 500 ms timer, six checks at most.

namespace qm {

enum class BrowserWait { KeepWaiting, AllClosed, GiveUp };

class BrowserCloseCountdown {
public:
    // Called right after the close requests are sent.
    void start() { remaining_ = 5; }
    // One timer tick; `browserLeft` tells whether any browser window is still open.
    BrowserWait tick(bool browserLeft) {
        if (!browserLeft) return BrowserWait::AllClosed;
        if (remaining_ == 0) return BrowserWait::GiveUp;
        --remaining_;
        return BrowserWait::KeepWaiting;
    }

private:
    int remaining_ = 5;
};

}  // namespace qm

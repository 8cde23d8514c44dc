#pragma once
// A window of a COM object may run a modal loop while it handles a message
// (a dialog, a message box); meanwhile the browser can drop its last
// reference to the object. Kept alive by the handler, the object goes only
// when the handler is done, not under its feet.

namespace qm::win32 {

class LifeHolder {
public:
    virtual void HoldLife() = 0;
    virtual void LetLife() = 0;

protected:
    ~LifeHolder() = default;
};

// Holds `holder` for its own lifetime: the first local of a window
// procedure's handling. The last reference may go in its destructor, so
// nothing of the object is touched after it.
class KeepAlive {
public:
    explicit KeepAlive(LifeHolder& holder) : holder_(holder) { holder_.HoldLife(); }
    ~KeepAlive() { holder_.LetLife(); }
    KeepAlive(const KeepAlive&) = delete;
    KeepAlive& operator=(const KeepAlive&) = delete;

private:
    LifeHolder& holder_;
};

}  // namespace qm::win32

#pragma once
// What the decision engine decided about a new window, and what it decided
// on: one note per decision, handed to the band as it is taken. The band
// passes notes to a host that asks for them (a test browser) and drops them
// otherwise, so the texts are views valid only during the call.

#include <cstdint>
#include <optional>
#include <string_view>

namespace qm {

enum class NewWindowOutcome {
    PassedThrough,  // the bar is not visible: nothing decided or counted
    Allowed,        // the browser opens the window; counted as not stopped
    Cancelled,      // "Block ALL new windows": refused silently
    Captured,       // hand the capture's browser object to the browser
    NotCaptured,    // no capture could be made: the browser opens the window itself
};

struct DecisionNote {
    enum class Step : std::int32_t {
        NewWindow,   // NewWindow2 of the band's browser
        Navigation,  // the captured popup's first navigation
        Conclusion,  // the capture finished
    };
    // The first condition that held, in the order the engine tests them.
    enum class Because : std::int32_t {
        BarHidden,     // the bar is not visible
        NoProtection,  // level 0
        Click,         // the click window was open
        Reopening,     // the band itself opens a popup again
        PluginHover,   // the pointer rested on a plug-in
        WhiteRule,     // a white-list rule matched
        Key,           // the user held Ctrl: the window is wanted
        BlockAll,      // "Block ALL new windows"
        CaptureLimit,  // as many captures as the band keeps are still loading
        Level,         // nothing let the popup go: the protection level holds it
        NoCapture,     // no capture browser could be made
        Link,          // the popup goes where the user's link pointed
        BlackRule,     // a black-list rule matched
        Wanted,        // its navigation was held for the user (Link or WhiteRule)
    };
    // How a capture ended.
    enum class Ending : std::int32_t {
        None,
        Stopped,   // recorded from a hidden browser
        Shown,     // recorded, in a window of its own ("Record Only")
        Reopened,  // opened again as an ordinary window
        Dropped,   // neither recorded nor reopened
    };

    Step step = Step::NewWindow;
    // The band's number for the new window, from 1; later steps of its
    // capture carry the same number.
    std::uint32_t window = 0;
    Because because = Because::Level;
    std::int32_t level = 0;
    // NewWindow: the flags read.
    std::int32_t clicked = 0;
    std::int32_t overPlugin = 0;
    std::int32_t blockAll = 0;
    NewWindowOutcome outcome = NewWindowOutcome::PassedThrough;
    // Navigation: whether the navigation was stopped (the popup is wanted).
    std::int32_t held = 0;
    // Conclusion.
    Ending ending = Ending::None;
    std::int32_t timeLimit = 0;  // the page never completed in time
    std::int32_t counted = 0;    // counted as a stopped popup
    // The popup's address (Navigation, Conclusion) and the rules that matched it.
    std::wstring_view url;
    std::optional<std::string_view> whiteRule;
    std::optional<std::string_view> blackRule;
};

}  // namespace qm

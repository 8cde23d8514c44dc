#pragma once
// The band's blink when a popup was stopped: eight toggles of a dark
// background, one per timer tick, always ending on the normal background
// with the caption shown.

namespace qm::band {

constexpr int kFlashToggles = 8;
constexpr unsigned kFlashIntervalMs = 100;

class FlashAlert {
public:
    // A new start while blinking sets the count back, so the blinks go on.
    void Start() { countdown_ = kFlashToggles; }

    struct Tick {
        bool stopTimer;  // the series is over
        bool repaint;    // the background changed
    };
    Tick OnTick();

    // The background is the flash colour (and the caption hidden) while dark.
    bool dark() const { return dark_; }
    bool running() const { return countdown_ > 0; }

private:
    int countdown_ = 0;
    bool dark_ = false;
};

}  // namespace qm::band

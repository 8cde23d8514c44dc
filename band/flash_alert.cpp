#include "band/flash_alert.h"

namespace qm::band {

FlashAlert::Tick FlashAlert::OnTick() {
    if (countdown_ > 0) {
        --countdown_;
        dark_ = !dark_;
        return {false, true};
    }
    if (dark_) {
        dark_ = false;
        return {true, true};
    }
    return {true, false};
}

}  // namespace qm::band

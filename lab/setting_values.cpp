#include "lab/setting_values.h"

#include <iterator>

namespace qm::lab {

const char* const kBandSettingNames[] = {"GuardLevel",        "LoadBare",       "CompleteBlock",
                                         "ClearOnUnload",     "BandVisibility", "PopupListView",
                                         "AllowFlashScripts", "FlashAlert",     "LogStopped",
                                         "LogRecorded",       "MaxLogSize",     "LogFullAction"};
const std::size_t kBandSettingCount = std::size(kBandSettingNames);

std::vector<std::pair<std::string, std::int32_t>> WrittenSettings(const SettingValues& before,
                                                                  const SettingValues& after) {
    std::vector<std::pair<std::string, std::int32_t>> written;
    for (std::size_t i = 0; i < kBandSettingCount && i < after.size(); ++i) {
        if (!after[i]) continue;
        bool known = i < before.size() && before[i].has_value();
        if (!known || *before[i] != *after[i]) {
            written.emplace_back(kBandSettingNames[i], *after[i]);
        }
    }
    return written;
}

}  // namespace qm::lab

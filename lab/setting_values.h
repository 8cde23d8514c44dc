#pragma once
// The band's twelve settings as values read from its key, and which of them
// the band wrote between two looks.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qm::lab {

// The names of the band's settings, in the order the band stores them.
extern const char* const kBandSettingNames[];
extern const std::size_t kBandSettingCount;

// One value per name of kBandSettingNames, in that order; empty when the
// key lacks it (or holds something other than a 32-bit number).
using SettingValues = std::vector<std::optional<std::int32_t>>;

// The settings that hold a value in `after` other than in `before`, in the
// order of the names. A value that went away is no write of the band's.
std::vector<std::pair<std::string, std::int32_t>> WrittenSettings(const SettingValues& before,
                                                                  const SettingValues& after);

}  // namespace qm::lab

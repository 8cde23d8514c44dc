#pragma once
// The band's preferences: one registry key of the local machine, read once
// when a band is created, written back one value at a time when changed.

#include <cstdint>
#include <string>

#include "common/registry.h"

namespace qm {

constexpr char kSettingsParentKey[] = "SOFTWARE\\Marrow Labs";
constexpr char kSettingsKey[] = "SOFTWARE\\Marrow Labs\\quellmark";

// The largest `MaxLogSize` the log settings dialog accepts; one read from
// the registry is clamped to 0 to this, since a larger one would let the
// log grow without a trim ever shortening it.
constexpr std::int32_t kLargestMaxLogSize = 63;

// The live copies a band works with; flags are 0 or 1 once loaded.
struct Settings {
    std::int32_t GuardLevel = 2;  // 0 "No Protection", 1 "Record Only", 2 full protection
    std::int32_t LoadBare = 1;
    std::int32_t CompleteBlock = 0;
    std::int32_t ClearOnUnload = 1;
    std::int32_t BandVisibility = 1;
    std::int32_t PopupListView = 1;  // 0 large icons, 1 small icons, 2 list, 3 report
    std::int32_t AllowFlashScripts = 1;
    std::int32_t FlashAlert = 1;
    std::int32_t LogStopped = 1;
    std::int32_t LogRecorded = 1;
    std::int32_t MaxLogSize = 10;    // kilobytes, 0 to 63; 0 turns logging off
    std::int32_t LogFullAction = 0;  // 0 drop oldest, 1 stop recording, 2 clear and restart
};

class SettingsStore {
public:
    // `moduleFileName`: the full file name of our DLL, whose folder is `Path`.
    SettingsStore(Registry& registry, std::string moduleFileName);

    // Fills `settings` from the key; creates the key with the defaults when missing.
    void LoadSettings(Settings& settings);
    // Sets `settings` to the defaults and writes the key with every value.
    void WriteDefaultSettings(Settings& settings);
    // Writes one value into the existing key; never creates the key.
    RegStatus WriteSetting(const std::string& name, std::uint32_t type, const void* data,
                           std::uint32_t size);
    // Changes the live copy, then writes it as a 32-bit value under the
    // field's own name. The copy keeps the new value even when the write fails.
    RegStatus ChangeSetting(Settings& settings, std::int32_t Settings::*field, std::int32_t value);

private:
    Registry& registry_;
    std::string moduleFileName_;
};

}  // namespace qm

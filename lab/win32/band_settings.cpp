#include "lab/win32/band_settings.h"

#include "common/win32/unique_handle.h"
#include "lab/setting_values.h"
#include "lab/trace_lines.h"
#include "settings/settings.h"

namespace qm::lab {
namespace {

// The value the band writes beside its settings when it makes the key.
constexpr char kPathValue[] = "Path";

bool KeyExists(const char* path) {
    win32::UniqueKey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

win32::UniqueKey CreateKey(const char* path) {
    win32::UniqueKey key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
        return {};
    }
    return key;
}

void DeleteKey(const char* parentPath, const char* name) {
    win32::UniqueKey parent;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parentPath, 0, KEY_ALL_ACCESS, parent.put()) ==
        ERROR_SUCCESS) {
        RegDeleteKeyA(parent.get(), name);
    }
}

}  // namespace

ScopedBandSettings::ScopedBandSettings(const std::vector<SettingSpec>& settings, Trace& trace) {
    makerExisted_ = KeyExists(kSettingsParentKey);
    keyExisted_ = KeyExists(kSettingsKey);
    if (keyExisted_) {
        win32::UniqueKey key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, key.put()) ==
            ERROR_SUCCESS) {
            for (std::size_t i = 0; i < kBandSettingCount; ++i) {
                remember(key.get(), kBandSettingNames[i]);
            }
            remember(key.get(), kPathValue);
        }
    }
    if (settings.empty()) return;
    win32::UniqueKey key = CreateKey(kSettingsKey);
    if (!key) return;
    for (const SettingSpec& setting : settings) {
        DWORD value = static_cast<DWORD>(setting.value);
        RegSetValueExA(key.get(), setting.name.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&value), sizeof value);
        trace.add(lines::Setting(setting.name, setting.value));
    }
}

ScopedBandSettings::~ScopedBandSettings() {
    if (!keyExisted_) {
        DeleteKey(kSettingsParentKey, "quellmark");
        if (!makerExisted_) DeleteKey("SOFTWARE", "Marrow Labs");
        return;
    }
    win32::UniqueKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_ALL_ACCESS, key.put()) ==
        ERROR_SUCCESS) {
        putBack(key.get());
    }
}

void ScopedBandSettings::remember(HKEY key, const char* name) {
    Previous previous{name, false, 0, {}};
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &previous.type, nullptr, &size) == ERROR_SUCCESS) {
        previous.data.resize(size);
        previous.existed = RegQueryValueExA(key, name, nullptr, &previous.type,
                                            previous.data.data(), &size) == ERROR_SUCCESS;
        previous.data.resize(previous.existed ? size : 0);
    }
    previous_.push_back(std::move(previous));
}

void ScopedBandSettings::putBack(HKEY key) const {
    for (const Previous& previous : previous_) {
        if (previous.existed) {
            RegSetValueExA(key, previous.name.c_str(), 0, previous.type, previous.data.data(),
                           static_cast<DWORD>(previous.data.size()));
        } else {
            RegDeleteValueA(key, previous.name.c_str());
        }
    }
}

}  // namespace qm::lab

#include "lab/band_settings.h"

#include "common/win32/unique_handle.h"
#include "lab/trace_lines.h"
#include "settings/settings.h"

namespace qm::lab {
namespace {

// Opens `sub` below `parent`, creating it when missing; tells whether it did.
win32::UniqueKey CreateKey(HKEY parent, const char* sub, bool& created) {
    win32::UniqueKey key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(parent, sub, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key.put(), &disposition) != ERROR_SUCCESS) {
        return {};
    }
    created = disposition == REG_CREATED_NEW_KEY;
    return key;
}

}  // namespace

ScopedBandSettings::ScopedBandSettings(const std::vector<SettingSpec>& settings, Trace& trace) {
    if (settings.empty()) return;
    win32::UniqueKey software;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS, software.put()) !=
        ERROR_SUCCESS) {
        return;
    }
    win32::UniqueKey maker = CreateKey(software.get(), "Marrow Labs", createdMaker_);
    if (!maker) return;
    win32::UniqueKey key = CreateKey(maker.get(), "quellmark", createdKey_);
    if (!key) return;
    for (const SettingSpec& setting : settings) {
        Previous previous{setting.name, false, 0, std::vector<BYTE>(256)};
        DWORD size = static_cast<DWORD>(previous.data.size());
        previous.existed =
            RegQueryValueExA(key.get(), setting.name.c_str(), nullptr, &previous.type,
                             previous.data.data(), &size) == ERROR_SUCCESS;
        previous.data.resize(previous.existed ? size : 0);
        previous_.push_back(std::move(previous));
        DWORD value = static_cast<DWORD>(setting.value);
        RegSetValueExA(key.get(), setting.name.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&value), sizeof value);
        trace.add(lines::Setting(setting.name, setting.value));
    }
}

ScopedBandSettings::~ScopedBandSettings() {
    if (createdMaker_) {
        // Nothing of the maker's key was there before the lab.
        win32::UniqueKey software;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS, software.put()) ==
            ERROR_SUCCESS) {
            win32::UniqueKey maker;
            if (RegOpenKeyExA(software.get(), "Marrow Labs", 0, KEY_ALL_ACCESS, maker.put()) ==
                ERROR_SUCCESS) {
                RegDeleteKeyA(maker.get(), "quellmark");
            }
            maker.reset();
            RegDeleteKeyA(software.get(), "Marrow Labs");
        }
        return;
    }
    win32::UniqueKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_ALL_ACCESS, key.put()) !=
        ERROR_SUCCESS) {
        return;
    }
    if (createdKey_) {
        key.reset();
        win32::UniqueKey maker;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsParentKey, 0, KEY_ALL_ACCESS, maker.put()) ==
            ERROR_SUCCESS) {
            RegDeleteKeyA(maker.get(), "quellmark");
        }
        return;
    }
    // Put back in reverse order, so a name given twice ends as it was first.
    for (auto it = previous_.rbegin(); it != previous_.rend(); ++it) {
        if (it->existed) {
            RegSetValueExA(key.get(), it->name.c_str(), 0, it->type, it->data.data(),
                           static_cast<DWORD>(it->data.size()));
        } else {
            RegDeleteValueA(key.get(), it->name.c_str());
        }
    }
}

}  // namespace qm::lab

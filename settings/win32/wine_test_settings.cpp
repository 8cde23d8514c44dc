// The settings store against the system's real registry.

#include <windows.h>

#include <gtest/gtest.h>

#include "common/win32/file_system_win32.h"
#include "common/win32/registry_win32.h"
#include "common/win32/unique_handle.h"
#include "settings/settings.h"

namespace qm {
namespace {

using win32::UniqueKey;

void DeleteSettingsKey() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsParentKey);
}

bool KeyExists(const char* path) {
    UniqueKey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

DWORD ReadDword(const char* name) {
    UniqueKey key;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, key.put()), 0);
    DWORD type = 0, value = 0xDEADBEEF, size = sizeof value;
    EXPECT_EQ(
        RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
        0)
        << name;
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
    return value;
}

class WineSettings : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override { DeleteSettingsKey(); }

    std::string module = win32::ModuleFileName(reinterpret_cast<const void*>(&DeleteSettingsKey));
    SettingsStore store{win32::SystemRegistry(), module};
};

TEST_F(WineSettings, FirstStartCreatesTheKeyThenReadsItBack) {
    Settings first;
    first.GuardLevel = 0;
    store.LoadSettings(first);
    EXPECT_EQ(first.GuardLevel, 2);

    UniqueKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, key.put()), 0);
    DWORD count = 0;
    ASSERT_EQ(RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               &count, nullptr, nullptr, nullptr, nullptr),
              0);
    EXPECT_EQ(count, 13u);

    char path[MAX_PATH] = {};
    DWORD type = 0, size = sizeof path;
    ASSERT_EQ(
        RegQueryValueExA(key.get(), "Path", nullptr, &type, reinterpret_cast<BYTE*>(path), &size),
        0);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    std::string folder = module.substr(0, module.rfind('\\'));
    EXPECT_EQ(std::string(path), folder);
    EXPECT_EQ(size, folder.size() + 1);

    const std::pair<const char*, DWORD> defaults[] = {
        {"GuardLevel", 2},        {"LoadBare", 1},       {"CompleteBlock", 0},
        {"ClearOnUnload", 1},     {"BandVisibility", 1}, {"PopupListView", 1},
        {"AllowFlashScripts", 1}, {"FlashAlert", 1},     {"LogStopped", 1},
        {"LogRecorded", 1},       {"MaxLogSize", 10},    {"LogFullAction", 0}};
    for (const auto& [name, value] : defaults) EXPECT_EQ(ReadDword(name), value) << name;

    // A change written by one band is what the next band reads.
    Settings changed = first;
    EXPECT_EQ(store.ChangeSetting(changed, &Settings::GuardLevel, 1), 0);
    EXPECT_EQ(store.ChangeSetting(changed, &Settings::MaxLogSize, 70), 0);
    Settings second;
    store.LoadSettings(second);
    EXPECT_EQ(second.GuardLevel, 1);
    EXPECT_EQ(second.MaxLogSize, 63) << "read as the most the log settings dialog sets";
    EXPECT_EQ(second.LogFullAction, 0);
}

TEST_F(WineSettings, WriteSettingOnAMissingKeyCreatesNothing) {
    DWORD value = 1;
    EXPECT_EQ(store.WriteSetting("GuardLevel", REG_DWORD, &value, sizeof value),
              ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(KeyExists(kSettingsKey));
    EXPECT_FALSE(KeyExists(kSettingsParentKey));
}

}  // namespace
}  // namespace qm

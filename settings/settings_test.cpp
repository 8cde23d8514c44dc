#include "settings/settings.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/testing/memory_registry.h"

namespace qm {
namespace {

using testing::MemoryRegistry;

const char kModule[] = "C:\\Program Files\\Quellmark\\quellmark.dll";

std::int32_t Dword(const MemoryRegistry& registry, const char* name) {
    const MemoryRegistry::Value* value = registry.value(kSettingsKey, name);
    EXPECT_TRUE(value) << name;
    if (!value || value->data.size() != 4) return -12345;
    std::int32_t number;
    std::memcpy(&number, value->data.data(), 4);
    return number;
}

class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsStoreTest() { registry.addKey("SOFTWARE"); }

    // A key as the installer leaves it, with every value at its default.
    void Install() {
        registry.addKey(kSettingsParentKey);
        Settings scratch;
        SettingsStore(registry, kModule).WriteDefaultSettings(scratch);
    }

    MemoryRegistry registry;
    SettingsStore store{registry, kModule};
    Settings settings;
};

TEST_F(SettingsStoreTest, FirstStartWritesEveryValueInOrder) {
    settings.GuardLevel = 0;
    settings.MaxLogSize = 99;
    store.LoadSettings(settings);

    EXPECT_EQ(settings.GuardLevel, 2);
    EXPECT_EQ(settings.LogStopped, 1);
    EXPECT_EQ(settings.LogRecorded, 1);
    EXPECT_EQ(settings.MaxLogSize, 10);
    EXPECT_EQ(settings.LogFullAction, 0);
    EXPECT_EQ(settings.PopupListView, 1);
    EXPECT_EQ(settings.BandVisibility, 1);

    const char* order[] = {"Path",          "GuardLevel",     "LoadBare",      "CompleteBlock",
                           "ClearOnUnload", "BandVisibility", "PopupListView", "AllowFlashScripts",
                           "FlashAlert",    "LogStopped",     "LogRecorded",   "MaxLogSize",
                           "LogFullAction"};
    const MemoryRegistry::Values& values = registry.values(kSettingsKey);
    ASSERT_EQ(values.size(), 13u);
    for (std::size_t i = 0; i < 13; ++i) EXPECT_EQ(values[i].first, order[i]);
    EXPECT_EQ(values[0].second.type, kRegSz);
    EXPECT_EQ(values[0].second.data, std::string("C:\\Program Files\\Quellmark", 27));
    const std::int32_t defaults[] = {2, 1, 0, 1, 1, 1, 1, 1, 1, 1, 10, 0};
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(values[i + 1].second.type, kRegDword) << order[i + 1];
        EXPECT_EQ(Dword(registry, order[i + 1]), defaults[i]) << order[i + 1];
    }
}

TEST_F(SettingsStoreTest, StoredValuesAreReadAndLimited) {
    struct Case {
        const char* label;
        const char* name;
        std::uint32_t stored;
        std::int32_t Settings::*field;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"level 7 reads as 2", "GuardLevel", 7, &Settings::GuardLevel, 2},
        {"level -1 reads as 2", "GuardLevel", 0xFFFFFFFF, &Settings::GuardLevel, 2},
        {"level 1 kept", "GuardLevel", 1, &Settings::GuardLevel, 1},
        {"level 0 kept", "GuardLevel", 0, &Settings::GuardLevel, 0},
        {"flag 5 reads on", "FlashAlert", 5, &Settings::FlashAlert, 1},
        {"flag 0 reads off", "ClearOnUnload", 0, &Settings::ClearOnUnload, 0},
        // What the log settings dialog can set, 0 to 63: a larger size would
        // stop the log from ever being trimmed.
        {"negative log size reads as 0", "MaxLogSize", 0xFFFFFFFE, &Settings::MaxLogSize, 0},
        {"zero log size kept", "MaxLogSize", 0, &Settings::MaxLogSize, 0},
        {"log size 63 kept", "MaxLogSize", 63, &Settings::MaxLogSize, 63},
        {"log size 64 reads as 63", "MaxLogSize", 64, &Settings::MaxLogSize, 63},
        {"huge log size reads as 63", "MaxLogSize", 0x7FFFFFFF, &Settings::MaxLogSize, 63},
        {"unknown action kept", "LogFullAction", 9, &Settings::LogFullAction, 9},
        {"report view", "PopupListView", 3, &Settings::PopupListView, 3},
    };
    for (const Case& c : cases) {
        Install();
        registry.setDword(kSettingsKey, c.name, c.stored);
        Settings loaded;
        store.LoadSettings(loaded);
        EXPECT_EQ(loaded.*c.field, c.expected) << c.label;
    }
}

TEST_F(SettingsStoreTest, MissingOrWrongTypedValuesGiveTheirDefault) {
    registry.addKey(kSettingsParentKey);
    registry.addKey(kSettingsKey);
    registry.setDword(kSettingsKey, "GuardLevel", 0);
    registry.setRaw(kSettingsKey, "MaxLogSize", kRegSz, std::string("5\0", 2));
    registry.setRaw(kSettingsKey, "LoadBare", kRegDword, std::string("\0\0", 2));
    registry.setRaw(kSettingsKey, "FlashAlert", 3 /* binary */, std::string(4, '\0'));
    settings.MaxLogSize = 77;
    store.LoadSettings(settings);
    EXPECT_EQ(settings.GuardLevel, 0);
    EXPECT_EQ(settings.MaxLogSize, 10);
    EXPECT_EQ(settings.LoadBare, 1);
    EXPECT_EQ(settings.FlashAlert, 1);
    EXPECT_EQ(settings.LogFullAction, 0);
    // An existing key is never completed by the reader.
    EXPECT_EQ(registry.values(kSettingsKey).size(), 4u);
}

TEST_F(SettingsStoreTest, WithoutWriteRightsTheDefaultsStillApply) {
    registry.readOnly = true;
    settings.CompleteBlock = 1;
    store.LoadSettings(settings);
    EXPECT_EQ(settings.CompleteBlock, 0);
    EXPECT_EQ(settings.GuardLevel, 2);
    EXPECT_FALSE(registry.hasKey(kSettingsKey));
}

TEST_F(SettingsStoreTest, WriteSettingNeverCreatesTheKey) {
    std::int32_t value = 1;
    EXPECT_EQ(store.WriteSetting("GuardLevel", kRegDword, &value, 4), kRegFileNotFound);
    EXPECT_FALSE(registry.hasKey(kSettingsKey));
}

TEST_F(SettingsStoreTest, ChangedSettingsAreWrittenAtOnceAndKeptWhenWritingFails) {
    Install();
    store.LoadSettings(settings);
    EXPECT_EQ(store.ChangeSetting(settings, &Settings::GuardLevel, 1), kRegSuccess);
    EXPECT_EQ(Dword(registry, "GuardLevel"), 1);

    registry.readOnly = true;
    EXPECT_EQ(store.ChangeSetting(settings, &Settings::CompleteBlock, 1), kRegAccessDenied);
    EXPECT_EQ(settings.CompleteBlock, 1);
    EXPECT_EQ(Dword(registry, "CompleteBlock"), 0);
}

}  // namespace
}  // namespace qm

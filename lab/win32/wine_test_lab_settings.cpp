// A scenario's band settings reach the registry before the band is created,
// and the key is as it was once the run is over, whatever the band wrote.

#include <windows.h>

#include <gtest/gtest.h>

#include "common/win32/unique_handle.h"
#include "lab/win32/band_settings.h"
#include "settings/settings.h"

namespace qm::lab {
namespace {

bool KeyExists(const char* path) {
    win32::UniqueKey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// The value as a number, or -999 when it is missing.
long ValueOf(const char* name) {
    win32::UniqueKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return -999;
    }
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD) {
        return -999;
    }
    return static_cast<long>(value);
}

void DeleteSettingsKeys(bool makerExisted) {
    win32::UniqueKey maker;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsParentKey, 0, KEY_ALL_ACCESS, maker.put()) ==
        ERROR_SUCCESS) {
        RegDeleteKeyA(maker.get(), "quellmark");
    }
    maker.reset();
    if (!makerExisted) {
        win32::UniqueKey software;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS, software.put());
        RegDeleteKeyA(software.get(), "Marrow Labs");
    }
}

class LabSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        makerExisted_ = KeyExists(kSettingsParentKey);
        keyExisted_ = KeyExists(kSettingsKey);
        if (keyExisted_) GTEST_SKIP() << "the prefix already holds the band's settings key";
    }
    void TearDown() override {
        if (!keyExisted_) DeleteSettingsKeys(makerExisted_);
    }

    bool makerExisted_ = false;
    bool keyExisted_ = false;
};

TEST_F(LabSettingsTest, ANewKeyGoesAwayAgain) {
    Trace trace;
    {
        ScopedBandSettings settings({{"GuardLevel", 1}, {"MaxLogSize", -1}}, trace);
        EXPECT_EQ(ValueOf("GuardLevel"), 1);
        EXPECT_EQ(ValueOf("MaxLogSize"), -1);
        EXPECT_EQ(ValueOf("ClearOnUnload"), -999) << "only the values asked for are written";
    }
    EXPECT_FALSE(KeyExists(kSettingsKey));
    EXPECT_EQ(KeyExists(kSettingsParentKey), makerExisted_);
    EXPECT_EQ(trace.lines(),
              (std::vector<std::string>{"setting GuardLevel=1", "setting MaxLogSize=-1"}));
}

TEST_F(LabSettingsTest, AnExistingKeyGetsItsValuesBack) {
    {
        win32::UniqueKey maker;
        win32::UniqueKey key;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsParentKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, maker.put(), nullptr);
        ASSERT_EQ(RegCreateKeyExA(maker.get(), "quellmark", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  key.put(), nullptr),
                  ERROR_SUCCESS);
        DWORD two = 2;
        RegSetValueExA(key.get(), "GuardLevel", 0, REG_DWORD, reinterpret_cast<BYTE*>(&two),
                       sizeof two);
    }
    Trace trace;
    {
        ScopedBandSettings settings({{"GuardLevel", 0}, {"LogStopped", 0}, {"GuardLevel", 1}},
                                    trace);
        EXPECT_EQ(ValueOf("GuardLevel"), 1);
        EXPECT_EQ(ValueOf("LogStopped"), 0);
    }
    EXPECT_TRUE(KeyExists(kSettingsKey));
    EXPECT_EQ(ValueOf("GuardLevel"), 2);
    EXPECT_EQ(ValueOf("LogStopped"), -999);
}

// The band writes its defaults into a key it finds missing, and the user's
// choices into the key: none of it outlives the run.
TEST_F(LabSettingsTest, WhatTheBandWroteDuringTheRunIsUndone) {
    auto write = [](const char* name, DWORD value) {
        win32::UniqueKey key;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        key.put(), nullptr);
        RegSetValueExA(key.get(), name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value),
                       sizeof value);
    };
    Trace trace;
    {
        ScopedBandSettings none({}, trace);
        write("GuardLevel", 2);
        write("LogStopped", 1);
    }
    EXPECT_FALSE(KeyExists(kSettingsKey)) << "a key the band made during the run";
    EXPECT_TRUE(trace.lines().empty());

    write("GuardLevel", 1);
    {
        ScopedBandSettings settings({{"CompleteBlock", 1}}, trace);
        write("GuardLevel", 0);
        write("MaxLogSize", 20);
        EXPECT_EQ(ValueOf("CompleteBlock"), 1);
    }
    EXPECT_EQ(ValueOf("GuardLevel"), 1) << "a value changed at the user's request";
    EXPECT_EQ(ValueOf("MaxLogSize"), -999) << "a value added at the user's request";
    EXPECT_EQ(ValueOf("CompleteBlock"), -999);
}

}  // namespace
}  // namespace qm::lab

#include "log/log_settings_logic.h"

#include <gtest/gtest.h>

#include <cstring>

#include "common/testing/memory_file_system.h"
#include "common/testing/memory_registry.h"
#include "log/activity_log.h"

namespace qm {
namespace {

using testing::MemoryFileSystem;
using testing::MemoryRegistry;

const std::string kModule = "C:\\qm\\quellmark.dll";
const std::string kLog = "C:\\qm\\qml.dat";

TEST(LogSettingsFrom, MapsTheSettingsToTheDialog) {
    struct Case {
        std::int32_t stopped, recorded, size, action;
        bool removeOldest, stopRecording, clearAll;
    } cases[] = {
        {1, 1, 10, 0, true, false, false},
        {0, 1, 63, 1, false, true, false},
        {1, 0, 0, 2, false, false, true},
        {0, 0, -4, 7, true, false, false},  // trimmed like 0, so shown as 0
        {1, 1, 10, -1, true, false, false},
    };
    for (const Case& c : cases) {
        Settings settings;
        settings.LogStopped = c.stopped;
        settings.LogRecorded = c.recorded;
        settings.MaxLogSize = c.size;
        settings.LogFullAction = c.action;
        LogSettingsChoice choice = LogSettingsFrom(settings);
        EXPECT_EQ(choice.logStopped, c.stopped != 0) << "action " << c.action;
        EXPECT_EQ(choice.logRecorded, c.recorded != 0) << "action " << c.action;
        EXPECT_EQ(choice.maxLogSize, c.size) << "action " << c.action;
        EXPECT_EQ(choice.removeOldest, c.removeOldest) << "action " << c.action;
        EXPECT_EQ(choice.stopRecording, c.stopRecording) << "action " << c.action;
        EXPECT_EQ(choice.clearAll, c.clearAll) << "action " << c.action;
    }
}

TEST(ReadMaxLogSize, AcceptsWholeNumbersFrom0To63) {
    struct Case {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"63", 63},
        {"0", 0},
        {"", 0},
        {"10", 10},
        {"  7", 7},
        {"+5", 5},
        {"12kb", 12},
        {"abc", 0},
        {"000000000000063", 63},   // 15 characters
        {"0000000000000064", 6},   // only the first 15 are read
        {"000000000000000.5", 0},  // the "." lies beyond them
        {"00000000000000.5", std::nullopt},
        {"64", std::nullopt},
        {"1.5", std::nullopt},
        {".", std::nullopt},
        {"-1", std::nullopt},
        {"4294967296", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadMaxLogSize(c.text), c.value) << "[" << c.text << "]";
    }
}

class ApplyLogSettingsTest : public ::testing::Test {
protected:
    std::int32_t Dword(const char* name) {
        const MemoryRegistry::Value* value = registry.value(kSettingsKey, name);
        if (!value || value->data.size() != 4) return -12345;
        std::int32_t number;
        std::memcpy(&number, value->data.data(), 4);
        return number;
    }
    // Three lines of 300 bytes and their CR LF.
    static std::string ThreeLines() {
        std::string log;
        for (char c : {'a', 'b', 'c'}) log += std::string(300, c) + "\r\n";
        return log;
    }

    MemoryRegistry registry;
    SettingsStore store{registry, kModule};
    MemoryFileSystem files;
    Settings settings;
};

TEST_F(ApplyLogSettingsTest, WritesTheFourValuesInOrderThenTrims) {
    registry.addKey(kSettingsKey);
    files.put(kLog, ThreeLines());
    LogSettingsChoice choice;
    choice.logStopped = false;
    choice.logRecorded = true;
    choice.maxLogSize = 0;
    choice.removeOldest = false;
    choice.clearAll = true;
    ApplyLogSettings(choice, settings, store, files, kModule);

    const MemoryRegistry::Values& values = registry.values(kSettingsKey);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values[0].first, "LogStopped");
    EXPECT_EQ(values[1].first, "LogRecorded");
    EXPECT_EQ(values[2].first, "MaxLogSize");
    EXPECT_EQ(values[3].first, "LogFullAction");
    EXPECT_EQ(Dword("LogStopped"), 0);
    EXPECT_EQ(Dword("LogRecorded"), 1);
    EXPECT_EQ(Dword("MaxLogSize"), 0);
    EXPECT_EQ(Dword("LogFullAction"), 2);
    EXPECT_EQ(settings.LogStopped, 0);
    EXPECT_EQ(settings.LogRecorded, 1);
    EXPECT_EQ(settings.MaxLogSize, 0);
    EXPECT_EQ(settings.LogFullAction, 2);
    EXPECT_EQ(files.contents(kLog), std::string(300, 'c') + "\r\n")
        << "clearing keeps the last entry";
}

TEST_F(ApplyLogSettingsTest, TheChosenActionDecidesWhatTheSmallerLimitKeeps) {
    auto line = [](char c) { return std::string(300, c) + "\r\n"; };
    struct Case {
        bool removeOldest, stopRecording, clearAll;
        std::int32_t stored;
        std::string kept;
    } cases[] = {
        {true, false, false, 0, line('b') + line('c') + line('d')},
        {false, true, false, 1, line('a') + line('b') + line('c')},
        {false, false, true, 2, line('d')},
    };
    registry.addKey(kSettingsKey);
    for (const Case& c : cases) {
        // Four lines of 302 bytes: one too many for 1 Kb.
        files.put(kLog, line('a') + line('b') + line('c') + line('d'));
        LogSettingsChoice choice;
        choice.maxLogSize = 1;
        choice.removeOldest = c.removeOldest;
        choice.stopRecording = c.stopRecording;
        choice.clearAll = c.clearAll;
        ApplyLogSettings(choice, settings, store, files, kModule);
        EXPECT_EQ(Dword("LogFullAction"), c.stored);
        EXPECT_EQ(Dword("MaxLogSize"), 1);
        EXPECT_EQ(files.contents(kLog), c.kept) << "action " << c.stored;
    }
}

TEST_F(ApplyLogSettingsTest, WithoutTheKeyNothingIsWrittenButTheBandAndLogFollow) {
    files.put(kLog, ThreeLines());
    LogSettingsChoice choice;
    choice.maxLogSize = 0;
    ApplyLogSettings(choice, settings, store, files, kModule);
    EXPECT_FALSE(registry.hasKey(kSettingsKey)) << "a write never creates the key";
    EXPECT_EQ(settings.MaxLogSize, 0);
    EXPECT_EQ(files.contents(kLog), "") << "remove oldest at 0 Kb empties the log";
}

}  // namespace
}  // namespace qm

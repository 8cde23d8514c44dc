// The rules file on real files through the Win32 binding: saved by
// replacing, read back byte for byte, and kept when a save fails.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/file_system_win32.h"
#include "common/win32/unique_handle.h"
#include "rules/rules_file.h"
#include "rules/win32/message_box_rules_ui.h"

namespace qm {
namespace {

using win32::UniqueFile;
using win32::UniqueHandle;

class RecordingUi : public RulesUi {
public:
    void ShowError(const std::string& text, const std::string& caption) override {
        shown.push_back(caption + ": " + text);
    }
    std::vector<std::string> shown;
};

const std::vector<Rule> kRules = {
    {White | On | PopupExact, "W.D.T ... F", "http://W.D.T/A/F", "http://S.E.U/"},
    {On | SourceDomain | SourceExact, "entire E.U", "", "E.U"},
    {PopupExact | SourceExact | SourceDomain, "off", "P://A", "P://B"},
};
const std::string kBytes =
    "\x31\x1BW.D.T ... F\x1Bhttp://W.D.T/A/F\x1Bhttp://S.E.U/\r\n"
    "\x2C\x1B"
    "entire E.U\x1B\x1B"
    "E.U\r\n"
    "\x0D\x1Boff\x1BP://A\x1BP://B\r\n";

RuleSet SetOf(const std::vector<Rule>& rules) {
    RuleSet set;
    for (const Rule& rule : rules) set.append(rule);
    return set;
}

std::vector<Rule> RulesOf(const RuleSet& set) {
    std::vector<Rule> rules;
    for (std::size_t i = 0; i < set.size(); ++i) rules.push_back(set[i]);
    return rules;
}

class WineRulesFile : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "qm-rules-test-" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        module = folder + "\\quellmark.dll";
        path = folder + "\\qmr.dat";
        temporary = folder + "\\qmr.tmp";
    }
    void TearDown() override {
        DeleteFileA(path.c_str());
        DeleteFileA(temporary.c_str());
        RemoveDirectoryA(temporary.c_str());
        EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "something was left in " << folder;
    }

    // Read with the system's own calls, not through the binding under test.
    std::string ReadFileBytes(const std::string& name) {
        UniqueFile file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
        if (!file) return "(missing)";
        std::string data(1 << 16, '\0');
        DWORD got = 0;
        ReadFile(file.get(), &data[0], static_cast<DWORD>(data.size()), &got, nullptr);
        data.resize(got);
        return data;
    }
    void WriteFileBytes(const std::string& name, const std::string& data) {
        UniqueFile file(
            CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(
            WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr));
    }
    static bool Exists(const std::string& name) {
        return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    FileSystem& files = win32::SystemFileSystem();
    std::string folder, module, path, temporary;
};

TEST_F(WineRulesFile, SavesReplacesAndLoadsBackByteForByte) {
    RecordingUi ui;
    WriteFileBytes(path, "\x31\x1Bold\x1Bp\x1Bs\r\n");
    ASSERT_TRUE(SaveRules(files, module, SetOf(kRules), ui));
    EXPECT_EQ(ReadFileBytes(path), kBytes);
    EXPECT_FALSE(Exists(temporary));
    EXPECT_TRUE(ui.shown.empty());

    RuleSet loaded;
    loaded.append(Rule{On | PopupExact, "replaced", "P://R", ""});
    ASSERT_TRUE(LoadRules(files, module, loaded));
    EXPECT_EQ(RulesOf(loaded), kRules);
    EXPECT_TRUE(loaded.MatchesBlackList("P://X", "http://www.E.U/news"));
}

TEST_F(WineRulesFile, NoRulesNoFile) {
    WriteFileBytes(path, kBytes);
    RecordingUi ui;
    EXPECT_TRUE(SaveRules(files, module, RuleSet(), ui));
    EXPECT_FALSE(Exists(path));
    EXPECT_TRUE(ui.shown.empty());
    RuleSet rules;
    EXPECT_FALSE(LoadRules(files, module, rules));
    EXPECT_TRUE(rules.empty());
}

TEST_F(WineRulesFile, AWriterWithoutReadSharingKeepsTheLoadOut) {
    WriteFileBytes(path, kBytes);
    UniqueFile writer(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer);
    RuleSet rules;
    rules.append(Rule{On | PopupExact, "kept", "P://K", ""});
    EXPECT_FALSE(LoadRules(files, module, rules));
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].name, "kept");
}

TEST_F(WineRulesFile, AFailedSaveKeepsTheOldFile) {
    const std::string oldBytes = "\x31\x1Bold\x1Bp\x1Bs\r\n";
    WriteFileBytes(path, oldBytes);
    // A folder where the new content would go: it cannot be created.
    ASSERT_TRUE(CreateDirectoryA(temporary.c_str(), nullptr));
    RecordingUi ui;
    EXPECT_FALSE(SaveRules(files, module, SetOf(kRules), ui));
    EXPECT_EQ(ReadFileBytes(path), oldBytes);
    EXPECT_EQ(ui.shown, std::vector<std::string>{"error!: error!  could not access rules file."});
}

TEST_F(WineRulesFile, AReaderWithoutDeleteSharingKeepsTheOldFile) {
    const std::string oldBytes = "\x31\x1Bold\x1Bp\x1Bs\r\n";
    WriteFileBytes(path, oldBytes);
    UniqueFile reader(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    RecordingUi ui;
    EXPECT_FALSE(SaveRules(files, module, SetOf(kRules), ui));
    reader.reset();
    EXPECT_EQ(ReadFileBytes(path), oldBytes);
    EXPECT_FALSE(Exists(temporary));
    EXPECT_EQ(ui.shown, std::vector<std::string>{"error!: error!  could not access rules file."});
}

// The message box the user sees: found by its caption, read, and answered.

DWORD WINAPI AnswerErrorBox(void* param) {
    auto* seen = static_cast<std::string*>(param);
    for (int tries = 0; tries < 500; ++tries) {
        HWND box = FindWindowA("#32770", "error!");
        if (box && IsWindowVisible(box)) {
            char text[256] = {};
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            *seen = text;
            PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            return 0;
        }
        Sleep(20);
    }
    return 1;
}

TEST_F(WineRulesFile, FailureIsShownInAMessageBox) {
    ASSERT_TRUE(CreateDirectoryA(temporary.c_str(), nullptr));
    std::string seen;
    UniqueHandle<win32::KernelTraits> answerer(
        CreateThread(nullptr, 0, AnswerErrorBox, &seen, 0, nullptr));
    ASSERT_TRUE(answerer);
    win32::MessageBoxRulesUi ui;
    EXPECT_FALSE(SaveRules(files, module, SetOf(kRules), ui));
    ASSERT_EQ(WaitForSingleObject(answerer.get(), 15000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeThread(answerer.get(), &code);
    EXPECT_EQ(code, 0u) << "no message box captioned \"error!\" appeared";
    EXPECT_EQ(seen, "error!  could not access rules file.");
}

}  // namespace
}  // namespace qm

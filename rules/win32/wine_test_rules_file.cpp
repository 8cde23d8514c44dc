// The rules file on real files through the Win32 binding: saved by
// replacing, read back byte for byte, kept when a save fails or another
// program holds it, and changed by two bands at once without loss.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/win32/file_system_win32.h"
#include "common/win32/unique_handle.h"
#include "rules/rule_book.h"
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

// One save as a change makes it: under the lock, failures shown.
bool SaveRules(FileSystem& files, const std::string& module, const RuleSet& rules, RulesUi& ui) {
    std::unique_ptr<FileLock> lock = LockRulesFile(files, module);
    const char* error = lock ? WriteRulesFile(files, module, rules) : kRulesAccessError;
    if (error) ui.ShowError(error, kRulesErrorCaption);
    return !error;
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
    }
    void TearDown() override {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "something was left in " << folder;
    }

    // Read with the system's own calls, not through the binding under test.
    std::string ReadFileBytes(const std::string& name) {
        UniqueFile file(CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
        if (!file) return "(missing)";
        std::string data(2 * kMaxRulesFileSize, '\0');
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

    // The names in the folder besides the rules file: leftovers of a save.
    std::vector<std::string> Others() {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            std::string name = data.cFileName;
            if (name != "." && name != ".." && name != "qmr.dat") names.push_back(name);
        } while (FindNextFileA(search, &data));
        FindClose(search);
        return names;
    }

    FileSystem& files = win32::SystemFileSystem();
    std::string folder, module, path;
};

TEST_F(WineRulesFile, SavesReplacesAndLoadsBackByteForByte) {
    RecordingUi ui;
    WriteFileBytes(path, "\x31\x1Bold\x1Bp\x1Bs\r\n");
    ASSERT_TRUE(SaveRules(files, module, SetOf(kRules), ui));
    EXPECT_EQ(ReadFileBytes(path), kBytes);
    EXPECT_TRUE(Others().empty());
    EXPECT_TRUE(ui.shown.empty());

    RuleSet loaded;
    loaded.append(Rule{On | PopupExact, "replaced", "P://R", ""});
    ASSERT_EQ(LoadRules(files, module, loaded), RulesFileState::kLoaded);
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
    EXPECT_EQ(LoadRules(files, module, rules), RulesFileState::kNoFile);
    EXPECT_TRUE(rules.empty());
}

// What other programs do to the file is refused, never overwritten.
TEST_F(WineRulesFile, AFileHeldOrTooLargeIsRefused) {
    struct Case {
        const char* label;
        DWORD access;  // of the other program's handle; 0: none
        DWORD share;
        std::string contents;
    } cases[] = {
        {"a writer without read sharing", GENERIC_WRITE, FILE_SHARE_WRITE, kBytes},
        {"held exclusively", GENERIC_READ, 0, kBytes},
        {"past the size bound", 0, 0, std::string(kMaxRulesFileSize + 1, 'x')},
    };
    for (const Case& c : cases) {
        WriteFileBytes(path, c.contents);
        UniqueFile other;
        if (c.access) {
            other.reset(
                CreateFileA(path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(other) << c.label;
        }
        RuleSet rules;
        rules.append(Rule{On | PopupExact, "kept", "P://K", ""});
        EXPECT_EQ(LoadRules(files, module, rules), RulesFileState::kRefused) << c.label;
        ASSERT_EQ(rules.size(), 1u) << c.label;
        EXPECT_EQ(rules[0].name, "kept") << c.label;
        other.reset();
        EXPECT_EQ(ReadFileBytes(path).size(), c.contents.size()) << c.label;
    }
}

TEST_F(WineRulesFile, AFailedSaveKeepsTheOldFile) {
    const std::string oldBytes = "\x31\x1Bold\x1Bp\x1Bs\r\n";
    struct Case {
        const char* label;
        DWORD access;  // of a handle another program holds; 0: none
        DWORD share;
        bool readOnly;
        RuleSet rules;
    } cases[] = {
        {"a reader without delete sharing", GENERIC_READ, FILE_SHARE_READ, false, SetOf(kRules)},
        {"read-only", 0, 0, true, SetOf(kRules)},
        {"last rule deleted, held open", GENERIC_READ, FILE_SHARE_READ, false, RuleSet()},
        {"last rule deleted, read-only", 0, 0, true, RuleSet()},
    };
    for (const Case& c : cases) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteFileBytes(path, oldBytes);
        if (c.readOnly) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        UniqueFile other;
        if (c.access) {
            other.reset(
                CreateFileA(path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(other) << c.label;
        }
        RecordingUi ui;
        EXPECT_FALSE(SaveRules(files, module, c.rules, ui)) << c.label;
        other.reset();
        EXPECT_EQ(ReadFileBytes(path), oldBytes) << c.label;
        EXPECT_TRUE(Others().empty()) << c.label << ": " << Others().front();
        EXPECT_EQ(ui.shown,
                  std::vector<std::string>{"error!: error!  could not access rules file."})
            << c.label;
    }
}

// A replace whose source is gone (another save took it) must fail and leave
// the target alone rather than delete it.
TEST_F(WineRulesFile, AReplaceWithoutItsSourceKeepsTheTarget) {
    WriteFileBytes(path, kBytes);
    EXPECT_FALSE(files.replace(folder + "\\qmr0000.tmp", path));
    EXPECT_EQ(ReadFileBytes(path), kBytes);
}

// Plays a user who adds one rule named after the band and its count.
class AddingUi : public RuleBookUi {
public:
    explicit AddingUi(std::string band) : band_(std::move(band)) {}
    bool RunRuleEditor(RuleEditorState& state) override {
        state.popupExact = true;
        state.popupLocation = "http://" + band_ + ".example/" + std::to_string(++count_);
        state.name = band_ + " " + std::to_string(count_);
        return true;
    }
    std::string CurrentPageAddress() override { return {}; }
    void RefreshRuleLists() override {}
    void ShowError(const std::string& text, const std::string& caption) override {
        errors.push_back(caption + ": " + text);
    }
    std::vector<std::string> errors;

private:
    std::string band_;
    int count_ = 0;
};

struct Band {
    const std::string* module;
    const char* name;
    int adds;
    std::vector<std::string> errors;
};

DWORD WINAPI RunBand(void* param) {
    auto* band = static_cast<Band*>(param);
    FileSystem& files = win32::SystemFileSystem();
    RuleSet rules;
    LoadRules(files, *band->module, rules);
    AddingUi ui(band->name);
    RuleBook book(rules, files, *band->module, ui);
    for (int i = 0; i < band->adds; ++i) book.AddRule(White | On, "", "");
    band->errors = ui.errors;
    return 0;
}

// Two bands, each in a thread of its own as two browser windows are, adding
// rules at the same time: every rule of both ends in the file.
TEST_F(WineRulesFile, TwoBandsAddingAtOnceKeepEveryRule) {
    constexpr int kAdds = 25;
    Band bands[] = {{&module, "a", kAdds, {}}, {&module, "b", kAdds, {}}};
    UniqueHandle<win32::KernelTraits> threads[2];
    for (int i = 0; i < 2; ++i) {
        threads[i].reset(CreateThread(nullptr, 0, RunBand, &bands[i], 0, nullptr));
        ASSERT_TRUE(threads[i]);
    }
    for (auto& thread : threads) ASSERT_EQ(WaitForSingleObject(thread.get(), 60000), WAIT_OBJECT_0);
    EXPECT_TRUE(bands[0].errors.empty()) << bands[0].errors.front();
    EXPECT_TRUE(bands[1].errors.empty()) << bands[1].errors.front();
    RuleSet rules;
    ASSERT_EQ(LoadRules(files, module, rules), RulesFileState::kLoaded);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < rules.size(); ++i) names.emplace_back(rules[i].name);
    EXPECT_EQ(names.size(), 2u * kAdds);
    for (const char* band : {"a", "b"}) {
        for (int n = 1; n <= kAdds; ++n) {
            const std::string name = std::string(band) + " " + std::to_string(n);
            EXPECT_EQ(std::count(names.begin(), names.end(), name), 1) << name;
        }
    }
    EXPECT_TRUE(Others().empty());
}

// Another process (here a command interpreter that inherited our handle)
// holds the file exclusively while a band starts and the user changes rules.
TEST_F(WineRulesFile, ABandStartedWhileAnotherProcessHoldsTheFileNeverChangesIt) {
    WriteFileBytes(path, kBytes);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    UniqueFile held(
        CreateFileA(path.c_str(), GENERIC_READ, 0, &inherit, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
    UniqueHandle<win32::KernelTraits> input(readEnd), keepOpen(writeEnd);
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = readEnd;  // waits for a line that never comes
    PROCESS_INFORMATION process{};
    std::string command = "cmd.exe /q /k";
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &process));
    UniqueHandle<win32::KernelTraits> child(process.hProcess), childThread(process.hThread);
    held.reset();  // only the other process holds it now
    ASSERT_EQ(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                          nullptr),
              INVALID_HANDLE_VALUE);

    RuleSet rules;
    EXPECT_EQ(LoadRules(files, module, rules), RulesFileState::kRefused);
    AddingUi ui("c");
    RuleBook book(rules, files, module, ui);
    book.AddRule(White | On, "", "");
    book.EditRule(true, 0);
    book.DeleteRule(false, 0);
    const std::string access = "error!: error!  could not access rules file.";
    EXPECT_EQ(ui.errors,
              (std::vector<std::string>{access, "error: error: could not access rules", access}));
    TerminateProcess(child.get(), 0);
    WaitForSingleObject(child.get(), 10000);
    EXPECT_EQ(ReadFileBytes(path), kBytes);
    EXPECT_TRUE(Others().empty());
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
    WriteFileBytes(path, kBytes);
    UniqueFile reader(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
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

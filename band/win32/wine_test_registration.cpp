// quellmark.dll registered and unregistered by the system's own regsvr32.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win32/unique_handle.h"

namespace {

using qm::win32::UniqueKey;

const char kClsid[] = "{B65E5293-F7CD-492F-B829-835C48325501}";
const char kLibid[] = "{AE10E3AD-6CF1-4E8A-8B45-C35A515C1FD1}";
const char kCommBand[] = "{00021494-0000-0000-C000-000000000046}";

std::string TestFolder() {
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    std::string path(name);
    return path.substr(0, path.rfind('\\') + 1);
}

std::string DllPath() {
    return TestFolder() + "out\\quellmark.dll";
}

DWORD RunRegsvr32(const std::string& arguments) {
    std::string command = "regsvr32.exe /s " + arguments + " \"" + DllPath() + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return 0xFFFFFFFF;
    }
    qm::win32::UniqueKernelHandle processHandle(process.hProcess);
    qm::win32::UniqueKernelHandle threadHandle(process.hThread);
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    return code;
}

bool KeyExists(const std::string& path) {
    UniqueKey key;
    return RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

std::string ReadString(const std::string& path, const char* name) {
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return "<no key>";
    }
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS) {
        return "<no value>";
    }
    return type == REG_SZ ? std::string(data) : "<not a string>";
}

// Every key and value below `path`, one line each, in enumeration order.
void Dump(const std::string& path, std::vector<std::string>& lines) {
    UniqueKey key;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return;
    }
    lines.push_back("[" + path + "]");
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        BYTE data[1024];
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key.get(), i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        lines.push_back(std::string(name) + "=" + std::to_string(type) + ":" +
                        std::string(reinterpret_cast<char*>(data), dataSize));
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameSize = sizeof name;
        if (RegEnumKeyExA(key.get(), i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        Dump(path + "\\" + name, lines);
    }
}

std::vector<std::string> DumpOurKeys() {
    std::vector<std::string> lines;
    for (const std::string& path :
         {std::string("quellmark.pop.1"), std::string("quellmark.pop"),
          std::string("CLSID\\") + kClsid, std::string("TypeLib\\") + kLibid}) {
        Dump(path, lines);
    }
    return lines;
}

class Registration : public ::testing::Test {
protected:
    void TearDown() override { RunRegsvr32("/u"); }
};

TEST_F(Registration, Regsvr32WritesTheScriptCategoryAndTypeLibrary) {
    ASSERT_EQ(RunRegsvr32(""), 0u);
    const std::string clsidKey = std::string("CLSID\\") + kClsid;
    struct Expected {
        std::string key;
        const char* name;
        std::string value;
    };
    const Expected expected[] = {
        {"quellmark.pop.1", nullptr, "quellmark"},
        {"quellmark.pop.1\\CLSID", nullptr, kClsid},
        {"quellmark.pop", nullptr, "quellmark"},
        {"quellmark.pop\\CLSID", nullptr, kClsid},
        {"quellmark.pop\\CurVer", nullptr, "quellmark.pop.1"},
        {clsidKey, nullptr, "quellmark"},
        {clsidKey + "\\ProgID", nullptr, "quellmark.pop.1"},
        {clsidKey + "\\VersionIndependentProgID", nullptr, "quellmark.pop"},
        {clsidKey + "\\InprocServer32", nullptr, DllPath()},
        {clsidKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {clsidKey + "\\TypeLib", nullptr, kLibid},
        {std::string("TypeLib\\") + kLibid + "\\1.0", nullptr, "Quellmark 1.0 Type Library"},
    };
    for (const Expected& e : expected) {
        std::string value = ReadString(e.key, e.name);
        // The system may write the module path in another case or in its short form.
        if (e.name == nullptr && e.key.find("InprocServer32") != std::string::npos) {
            EXPECT_EQ(lstrcmpiA(value.c_str(), e.value.c_str()), 0) << e.key << ": " << value;
        } else {
            EXPECT_EQ(value, e.value) << e.key;
        }
    }
    EXPECT_TRUE(KeyExists(clsidKey + "\\Programmable"));
    EXPECT_TRUE(KeyExists(clsidKey + "\\Implemented Categories\\" + kCommBand));
}

TEST_F(Registration, UnregisterRemovesOurKeysButNotClsid) {
    ASSERT_EQ(RunRegsvr32(""), 0u);
    ASSERT_EQ(RunRegsvr32("/u"), 0u);
    EXPECT_FALSE(KeyExists("quellmark.pop.1"));
    EXPECT_FALSE(KeyExists("quellmark.pop"));
    EXPECT_FALSE(KeyExists(std::string("CLSID\\") + kClsid));
    EXPECT_FALSE(KeyExists(std::string("TypeLib\\") + kLibid));
    EXPECT_TRUE(KeyExists("CLSID"));
}

// Another program's category of our class stays, and with it the keys above.
TEST_F(Registration, UnregisterKeepsAnotherCategoryOfTheClass) {
    ASSERT_EQ(RunRegsvr32(""), 0u);
    const std::string categories = std::string("CLSID\\") + kClsid + "\\Implemented Categories";
    const std::string other = categories + "\\{0DE86A57-2BAA-11CF-A229-00AA003D7352}";
    UniqueKey created;
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, other.c_str(), created.put()), ERROR_SUCCESS);
    created.reset();
    EXPECT_EQ(RunRegsvr32("/u"), 0u);
    EXPECT_TRUE(KeyExists(other));
    EXPECT_FALSE(KeyExists(categories + "\\" + kCommBand));
    RegDeleteKeyA(HKEY_CLASSES_ROOT, other.c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, categories.c_str());
    RegDeleteKeyA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + kClsid).c_str());
}

TEST_F(Registration, RegisteringAgainGivesTheSameRegistry) {
    ASSERT_EQ(RunRegsvr32(""), 0u);
    std::vector<std::string> first = DumpOurKeys();
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(RunRegsvr32("/u"), 0u);
    EXPECT_TRUE(DumpOurKeys().empty());
    ASSERT_EQ(RunRegsvr32(""), 0u);
    EXPECT_EQ(DumpOurKeys(), first);
}

}  // namespace

#pragma once
// What an installation leaves on the system, read back for the end-to-end
// tests: folders, files, registry values, shortcuts and the COM registration.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace qm::e2e {

constexpr char kSettingsKey[] = "SOFTWARE\\Marrow Labs\\quellmark";
constexpr char kMakerKey[] = "SOFTWARE\\Marrow Labs";
constexpr char kUninstallEntry[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Marrow Labs quellmark";

std::string ProgramFiles();
std::string MakerFolder();    // Program Files\Marrow Labs
std::string InstallFolder();  // Program Files\Marrow Labs\quellmark
std::string CommonPrograms();
std::string StartMenuFolder();  // the all-users Programs\Marrow Labs\quellmark

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// Every file and folder below `folder`, without ".", "..", by name.
std::vector<std::string> FolderEntries(const std::string& folder);
// Removes a folder and everything in it.
void RemoveTree(const std::string& folder);

bool KeyExists(HKEY root, const std::string& path);
// A value's type and bytes; type 0 when it is missing.
struct RegValue {
    DWORD type = 0;
    std::string data;
    bool operator==(const RegValue& o) const { return type == o.type && data == o.data; }
};
RegValue ReadValue(HKEY root, const std::string& path, const std::string& name);
std::vector<std::string> ValueNames(HKEY root, const std::string& path);
void DeleteTree(HKEY root, const std::string& path);

// Every key and value below `path`, by path relative to the root.
using RegistryTree = std::map<std::string, std::map<std::string, RegValue>>;
void AddTree(HKEY root, const std::string& path, RegistryTree& tree);
// The keys the band's registration writes: its ProgIDs, its class and its
// type library with the interfaces it registers. Empty when none is registered.
RegistryTree ClassRegistration();
std::string RegisteredClsid();

struct LinkSeen {
    std::string target;
    std::string description;
};
LinkSeen ReadLink(const std::string& path);

// Runs a program to its end; its exit code, or 0xFFFFFFFF.
DWORD RunToEnd(const std::string& commandLine);
// Calls an entry point of the DLL in this process, as regsvr32 does.
HRESULT CallServer(const std::string& dll, const char* entry);

// Takes the product off the system whatever state a test left it in.
void RemoveProduct();

}  // namespace qm::e2e

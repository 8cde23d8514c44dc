#pragma once
// The batch script that removes the uninstaller once it has ended: it
// clears the program's read-only attribute, repeats the deletion until the
// running program's file lets go, then removes the install folder, the
// maker's folder when it is to go, and itself.

#include <cstddef>
#include <string>

namespace qm {

constexpr char kSelfDeleteScriptName[] = "qmdel.bat";

// The script's text, each line ending in CR LF, in the code page its
// arguments come in. `makerFolder` is empty when the maker's folder stays.
std::string SelfDeleteScript(const std::string& uninstaller, const std::string& installFolder,
                             const std::string& makerFolder, const std::string& script);

// Whether the maker's folder goes with the install folder: a search of it
// finds at most ".", ".." and the install folder itself.
bool MakerFolderGoes(const std::string& makerFolder, std::size_t entriesFound);

}  // namespace qm

#pragma once
// Folder and file names as the installer and uninstaller take them apart.
// Every search is character-aware, so a double-byte character whose trail
// byte is a backslash never splits a name.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// The longest path the system opens: a longer one may be given a file by a
// move, which then no program can open.
constexpr std::size_t kLongestPath = 259;

// `path` without one trailing backslash ("C:\\a\\" -> "C:\\a"); a second one stays.
std::string WithoutTrailingBackslash(std::string_view path);

// The cumulative prefixes of `path` at its backslashes, a run of backslashes
// counting as one: "C:\\a\\\\b" -> "C:", "C:\\a", "C:\\a\\b". Leading
// backslashes (a network path) stay with the first prefix.
std::vector<std::string> CumulativePrefixes(std::string_view path);

// The name after the last backslash (all of `path` when it has none).
std::string LastComponent(std::string_view path);

// Everything before the last backslash; empty when there is none.
std::string ParentFolder(std::string_view path);

// `folder` + "\\" + `name`, without doubling a backslash `folder` ends with.
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder proposed at start: the Program Files folder (or, when the
// system cannot name it, the registry's "ProgramFilesDir") + "\\Marrow Labs\\quellmark".
std::string DefaultInstallFolder(std::string_view programFiles, std::string_view programFilesDir);

}  // namespace qm

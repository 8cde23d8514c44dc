#include "common/file_system.h"

#include "common/text.h"

namespace qm {

std::string FolderWithSlash(std::string_view moduleFileName) {
    std::size_t slash = FindLast(moduleFileName, '\\');
    return slash == kNotFound ? std::string() : std::string(moduleFileName.substr(0, slash + 1));
}

std::string FolderWithoutSlash(std::string_view moduleFileName) {
    std::size_t slash = FindLast(moduleFileName, '\\');
    return slash == kNotFound ? std::string(moduleFileName)
                              : std::string(moduleFileName.substr(0, slash));
}

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

bool IsHexDigit(char c) {
    c = LowerAscii(c);
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

}  // namespace

bool IsTemporaryName(std::string_view name, std::string_view prefix) {
    constexpr std::string_view kEnd = ".tmp";
    constexpr std::size_t kMaxDigits = 4;
    prefix = prefix.substr(0, 3);
    if (name.size() < prefix.size() + kEnd.size() ||
        name.size() > prefix.size() + kMaxDigits + kEnd.size() ||
        !SameIgnoringCase(name.substr(0, prefix.size()), prefix) ||
        !SameIgnoringCase(name.substr(name.size() - kEnd.size()), kEnd)) {
        return false;
    }
    for (std::size_t i = prefix.size(); i < name.size() - kEnd.size(); ++i) {
        if (!IsHexDigit(name[i])) return false;
    }
    return true;
}

bool MatchesFileNamePattern(std::string_view name, std::string_view pattern) {
    // Greedy with one backtrack point: the last '*' seen.
    std::size_t n = 0, p = 0, starAt = kNotFound, starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            starName = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starAt != kNotFound) {
            p = starAt + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace qm

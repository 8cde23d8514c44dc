#pragma once
// The part of the registry the core uses: keys under HKEY_LOCAL_MACHINE,
// values read and written whole. Statuses are the system's (0 = success).

#include <cstdint>
#include <memory>
#include <string>

namespace qm {

using RegStatus = long;
constexpr RegStatus kRegSuccess = 0;
constexpr RegStatus kRegFileNotFound = 2;
constexpr RegStatus kRegAccessDenied = 5;

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegDword = 4;

class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    // Reads a value's type and bytes (a string's bytes include its terminating zero).
    virtual RegStatus queryValue(const std::string& name, std::uint32_t& type,
                                 std::string& data) const = 0;
    virtual RegStatus setValue(const std::string& name, std::uint32_t type, const void* data,
                               std::uint32_t size) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // Opens an existing key of HKEY_LOCAL_MACHINE; `path` uses backslashes.
    virtual RegStatus openLocalMachine(const std::string& path, bool writable,
                                       std::unique_ptr<RegistryKey>& key) = 0;
    // Creates (or opens) `sub` below the existing key `parent` of HKEY_LOCAL_MACHINE,
    // non-volatile, with full access.
    virtual RegStatus createLocalMachine(const std::string& parent, const std::string& sub,
                                         std::unique_ptr<RegistryKey>& key) = 0;
};

}  // namespace qm

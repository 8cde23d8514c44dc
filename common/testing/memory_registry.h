#pragma once
// An in-memory HKEY_LOCAL_MACHINE. Keys remember their values in the order
// they were first written, so tests can check the order of a writer.

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/registry.h"

namespace qm::testing {

class MemoryRegistry : public Registry {
public:
    struct Value {
        std::uint32_t type = 0;
        std::string data;
    };
    using Values = std::vector<std::pair<std::string, Value>>;

    RegStatus openLocalMachine(const std::string& path, bool writable,
                               std::unique_ptr<RegistryKey>& key) override;
    RegStatus createLocalMachine(const std::string& parent, const std::string& sub,
                                 std::unique_ptr<RegistryKey>& key) override;

    bool hasKey(const std::string& path) const { return keys_.count(path) != 0; }
    void addKey(const std::string& path) { keys_[path]; }
    // The values of a key in writing order (empty when the key is missing).
    const Values& values(const std::string& path) const;
    const Value* value(const std::string& path, const std::string& name) const;
    void setDword(const std::string& path, const std::string& name, std::uint32_t number);
    void setRaw(const std::string& path, const std::string& name, std::uint32_t type,
                std::string data);

    // A user without the right to change HKEY_LOCAL_MACHINE: writable opens,
    // creations and writes fail with access denied; reads still work.
    bool readOnly = false;

private:
    class Key;
    std::map<std::string, Values> keys_;
};

}  // namespace qm::testing

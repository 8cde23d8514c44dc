#include "common/testing/memory_registry.h"

#include <cstring>

namespace qm::testing {

class MemoryRegistry::Key : public RegistryKey {
public:
    Key(MemoryRegistry& owner, std::string path, bool writable)
        : owner_(owner), path_(std::move(path)), writable_(writable) {}

    RegStatus queryValue(const std::string& name, std::uint32_t& type,
                         std::string& data) const override {
        const Value* found = owner_.value(path_, name);
        if (!found) return kRegFileNotFound;
        type = found->type;
        data = found->data;
        return kRegSuccess;
    }

    RegStatus setValue(const std::string& name, std::uint32_t type, const void* data,
                       std::uint32_t size) override {
        if (!writable_ || owner_.readOnly) return kRegAccessDenied;
        if (!owner_.hasKey(path_)) return kRegFileNotFound;
        owner_.setRaw(path_, name, type, std::string(static_cast<const char*>(data), size));
        return kRegSuccess;
    }

private:
    MemoryRegistry& owner_;
    std::string path_;
    bool writable_;
};

RegStatus MemoryRegistry::openLocalMachine(const std::string& path, bool writable,
                                           std::unique_ptr<RegistryKey>& key) {
    if (!hasKey(path)) return kRegFileNotFound;
    if (writable && readOnly) return kRegAccessDenied;
    key = std::make_unique<Key>(*this, path, writable);
    return kRegSuccess;
}

RegStatus MemoryRegistry::createLocalMachine(const std::string& parent, const std::string& sub,
                                             std::unique_ptr<RegistryKey>& key) {
    if (!hasKey(parent)) return kRegFileNotFound;
    if (readOnly) return kRegAccessDenied;
    std::string path = parent + "\\" + sub;
    keys_[path];
    key = std::make_unique<Key>(*this, path, true);
    return kRegSuccess;
}

const MemoryRegistry::Values& MemoryRegistry::values(const std::string& path) const {
    static const Values kNone;
    auto it = keys_.find(path);
    return it == keys_.end() ? kNone : it->second;
}

const MemoryRegistry::Value* MemoryRegistry::value(const std::string& path,
                                                   const std::string& name) const {
    for (const auto& [valueName, value] : values(path)) {
        if (valueName == name) return &value;
    }
    return nullptr;
}

void MemoryRegistry::setDword(const std::string& path, const std::string& name,
                              std::uint32_t number) {
    std::string bytes(4, '\0');
    std::memcpy(bytes.data(), &number, 4);
    setRaw(path, name, kRegDword, bytes);
}

void MemoryRegistry::setRaw(const std::string& path, const std::string& name, std::uint32_t type,
                            std::string data) {
    Values& values = keys_[path];
    for (auto& [valueName, value] : values) {
        if (valueName == name) {
            value = Value{type, std::move(data)};
            return;
        }
    }
    values.emplace_back(name, Value{type, std::move(data)});
}

}  // namespace qm::testing

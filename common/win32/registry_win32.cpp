#include "common/win32/registry_win32.h"

#include <windows.h>

#include "common/win32/unique_handle.h"

namespace qm::win32 {
namespace {

class Key : public RegistryKey {
public:
    explicit Key(UniqueKey key) : key_(std::move(key)) {}

    RegStatus queryValue(const std::string& name, std::uint32_t& type,
                         std::string& data) const override {
        DWORD valueType = 0;
        DWORD size = 0;
        LONG status =
            RegQueryValueExA(key_.get(), name.c_str(), nullptr, &valueType, nullptr, &size);
        if (status != ERROR_SUCCESS) return status;
        data.assign(size, '\0');
        status = RegQueryValueExA(key_.get(), name.c_str(), nullptr, &valueType,
                                  reinterpret_cast<BYTE*>(&data[0]), &size);
        if (status != ERROR_SUCCESS) return status;
        data.resize(size);
        type = valueType;
        return ERROR_SUCCESS;
    }

    RegStatus setValue(const std::string& name, std::uint32_t type, const void* data,
                       std::uint32_t size) override {
        return RegSetValueExA(key_.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                              size);
    }

private:
    UniqueKey key_;
};

class LocalMachine : public Registry {
public:
    RegStatus openLocalMachine(const std::string& path, bool writable,
                               std::unique_ptr<RegistryKey>& key) override {
        UniqueKey handle;
        LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0,
                                    writable ? KEY_ALL_ACCESS : KEY_READ, handle.put());
        if (status == ERROR_SUCCESS) key = std::make_unique<Key>(std::move(handle));
        return status;
    }

    RegStatus createLocalMachine(const std::string& parent, const std::string& sub,
                                 std::unique_ptr<RegistryKey>& key) override {
        UniqueKey parentKey;
        LONG status =
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, parent.c_str(), 0, KEY_ALL_ACCESS, parentKey.put());
        if (status != ERROR_SUCCESS) return status;
        UniqueKey handle;
        DWORD disposition = 0;
        status = RegCreateKeyExA(parentKey.get(), sub.c_str(), 0, const_cast<char*>(""),
                                 REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, handle.put(),
                                 &disposition);
        if (status == ERROR_SUCCESS) key = std::make_unique<Key>(std::move(handle));
        return status;
    }
};

}  // namespace

Registry& SystemRegistry() {
    static LocalMachine registry;
    return registry;
}

}  // namespace qm::win32

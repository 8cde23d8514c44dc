#include "settings/settings.h"

#include <cstring>
#include <memory>

#include "common/file_system.h"

namespace qm {
namespace {

enum class Kind { Level, Flag, Number, LogSize };

struct Field {
    const char* name;
    std::int32_t Settings::*member;
    Kind kind;
};

// In the order the defaults writer stores them (after Path).
const Field kFields[] = {
    {"GuardLevel", &Settings::GuardLevel, Kind::Level},
    {"LoadBare", &Settings::LoadBare, Kind::Flag},
    {"CompleteBlock", &Settings::CompleteBlock, Kind::Flag},
    {"ClearOnUnload", &Settings::ClearOnUnload, Kind::Flag},
    {"BandVisibility", &Settings::BandVisibility, Kind::Flag},
    {"PopupListView", &Settings::PopupListView, Kind::Number},
    {"AllowFlashScripts", &Settings::AllowFlashScripts, Kind::Flag},
    {"FlashAlert", &Settings::FlashAlert, Kind::Flag},
    {"LogStopped", &Settings::LogStopped, Kind::Flag},
    {"LogRecorded", &Settings::LogRecorded, Kind::Flag},
    {"MaxLogSize", &Settings::MaxLogSize, Kind::LogSize},
    {"LogFullAction", &Settings::LogFullAction, Kind::Number},
};

constexpr std::size_t kMaxPath = 260;

std::int32_t Normalise(Kind kind, std::int32_t value) {
    switch (kind) {
        case Kind::Level:
            return static_cast<std::uint32_t>(value) > 2 ? 2 : value;
        case Kind::Flag:
            return value ? 1 : 0;
        case Kind::LogSize:
            return value < 0 ? 0 : value > kLargestMaxLogSize ? kLargestMaxLogSize : value;
        case Kind::Number:
            break;
    }
    return value;
}

}  // namespace

SettingsStore::SettingsStore(Registry& registry, std::string moduleFileName)
    : registry_(registry), moduleFileName_(std::move(moduleFileName)) {}

void SettingsStore::LoadSettings(Settings& settings) {
    std::unique_ptr<RegistryKey> key;
    if (registry_.openLocalMachine(kSettingsKey, false, key) != kRegSuccess) {
        WriteDefaultSettings(settings);
        return;
    }
    const Settings defaults;
    for (const Field& field : kFields) {
        std::uint32_t type = 0;
        std::string data;
        std::int32_t value = defaults.*field.member;
        // A value that is missing or not a 4-byte number keeps its default.
        if (key->queryValue(field.name, type, data) == kRegSuccess && type == kRegDword &&
            data.size() == 4) {
            std::memcpy(&value, data.data(), 4);
        }
        settings.*field.member = Normalise(field.kind, value);
    }
}

void SettingsStore::WriteDefaultSettings(Settings& settings) {
    settings = Settings();
    std::unique_ptr<RegistryKey> maker;
    std::unique_ptr<RegistryKey> key;
    if (registry_.createLocalMachine("SOFTWARE", "Marrow Labs", maker) != kRegSuccess ||
        registry_.createLocalMachine(kSettingsParentKey, "quellmark", key) != kRegSuccess) {
        return;
    }
    std::string path = FolderWithoutSlash(moduleFileName_.substr(0, kMaxPath));
    key->setValue("Path", kRegSz, path.c_str(), static_cast<std::uint32_t>(path.size() + 1));
    for (const Field& field : kFields) {
        std::int32_t value = settings.*field.member;
        key->setValue(field.name, kRegDword, &value, 4);
    }
}

RegStatus SettingsStore::WriteSetting(const std::string& name, std::uint32_t type, const void* data,
                                      std::uint32_t size) {
    std::unique_ptr<RegistryKey> key;
    RegStatus status = registry_.openLocalMachine(kSettingsKey, true, key);
    if (status != kRegSuccess) return status;
    return key->setValue(name, type, data, size);
}

RegStatus SettingsStore::ChangeSetting(Settings& settings, std::int32_t Settings::*field,
                                       std::int32_t value) {
    settings.*field = value;
    for (const Field& known : kFields) {
        if (known.member == field) return WriteSetting(known.name, kRegDword, &value, 4);
    }
    return kRegFileNotFound;
}

}  // namespace qm

#pragma once
// A scenario's settings for the band: written into the band's registry key
// before the band is created, and the key put back as it was afterwards.

#include <windows.h>

#include <string>
#include <vector>

#include "lab/scenario.h"
#include "lab/trace.h"

namespace qm::lab {

class ScopedBandSettings {
public:
    ScopedBandSettings(const std::vector<SettingSpec>& settings, Trace& trace);
    ~ScopedBandSettings();
    ScopedBandSettings(const ScopedBandSettings&) = delete;
    ScopedBandSettings& operator=(const ScopedBandSettings&) = delete;

private:
    struct Previous {
        std::string name;
        bool existed;
        DWORD type;
        std::vector<BYTE> data;
    };

    bool createdMaker_ = false;
    bool createdKey_ = false;
    std::vector<Previous> previous_;
};

}  // namespace qm::lab

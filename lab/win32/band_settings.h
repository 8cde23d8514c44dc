#pragma once
// A scenario's settings for the band: written into the band's registry key
// before the band is created. Afterwards the key is put back as it was,
// whatever wrote it meanwhile (the scenario, or the band at the user's
// request), so one scenario's settings cannot decide the next one's.

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

    void remember(HKEY key, const char* name);
    void putBack(HKEY key) const;

    bool makerExisted_ = false;
    bool keyExisted_ = false;
    std::vector<Previous> previous_;
};

}  // namespace qm::lab

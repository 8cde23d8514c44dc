#pragma once
// The installer's packaged files: "FILES" resources of its own module, each
// a packed file.

#include <windows.h>

#include <string>

#include "setup/install_procedure.h"

namespace qm::win32 {

class ModulePackage : public InstallPackage {
public:
    explicit ModulePackage(HMODULE module) : module_(module) {}
    bool has(int resource) override;
    bool load(int resource, std::string_view& bytes) override;

private:
    HMODULE module_;
    std::string file_;
};

}  // namespace qm::win32

#include "setup/win32/module_package.h"

#include "wizard/install_steps.h"
#include "wizard/packed_file.h"

namespace qm::win32 {

bool ModulePackage::has(int resource) {
    return FindResourceA(module_, MAKEINTRESOURCEA(resource), kPackagedFileType) != nullptr;
}

bool ModulePackage::load(int resource, std::string_view& bytes) {
    HRSRC found = FindResourceA(module_, MAKEINTRESOURCEA(resource), kPackagedFileType);
    HGLOBAL loaded = found ? LoadResource(module_, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data) return false;
    if (!UnpackFile(std::string_view(data, SizeofResource(module_, found)), file_)) return false;
    bytes = file_;
    return true;
}

}  // namespace qm::win32

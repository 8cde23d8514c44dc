#include "band/win32/face_host.h"

#include <shellapi.h>

namespace qm::band {

void FaceHost::ShellOpen(const std::string& target) {
    ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace qm::band

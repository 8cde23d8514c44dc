#include "wizard/start_menu.h"

#include "wizard/install_path.h"

namespace qm {

std::string MakerMenuFolder(const std::string& programs) {
    return JoinPath(programs, "Marrow Labs");
}

std::string ProductMenuFolder(const std::string& programs) {
    return JoinPath(MakerMenuFolder(programs), "quellmark");
}

}  // namespace qm

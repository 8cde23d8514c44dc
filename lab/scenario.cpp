#include "lab/scenario.h"

namespace qm::lab {

const char* const kKeyNames[] = {"up",  "down",    "left",      "right", "home",
                                 "end", "page-up", "page-down", "space"};
const std::size_t kKeyNameCount = sizeof kKeyNames / sizeof kKeyNames[0];

const ElementSpec* PageSpec::findElement(const std::string& id) const {
    for (const ElementSpec& element : elements) {
        if (element.id == id) return &element;
    }
    return nullptr;
}

const FunctionSpec* PageSpec::findFunction(const std::string& name) const {
    for (const FunctionSpec& function : functions) {
        if (function.name == name) return &function;
    }
    return nullptr;
}

const PageSpec* Scenario::findPage(const std::string& url) const {
    for (const PageSpec& page : pages) {
        if (page.url == url) return &page;
    }
    return nullptr;
}

}  // namespace qm::lab

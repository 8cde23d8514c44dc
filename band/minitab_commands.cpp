#include "band/minitab_commands.h"

#include "common/text.h"

namespace qm::band {

TabClick OnTabClick(bool maximised, bool tabIsSelected) {
    if (maximised && !tabIsSelected) return {false, maximised};
    return {true, !maximised};
}

std::int32_t NextQuickLevel(std::int32_t level) {
    return level == 2 ? 1 : 2;
}

std::string HelpFilePath(std::string_view moduleFileName) {
    std::size_t slash = FindLast(moduleFileName, '\\');
    std::string_view folder =
        slash == kNotFound ? std::string_view() : moduleFileName.substr(0, slash);
    return std::string(folder) + "\\qmhelp.chm";
}

}  // namespace qm::band

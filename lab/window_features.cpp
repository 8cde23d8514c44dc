#include "lab/window_features.h"

#include <cctype>
#include <string>

#include "common/text.h"

namespace qm::lab {
namespace {

using Kind = WindowRequest::Kind;

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::optional<Kind> GeometryNamed(std::string_view name) {
    if (name == "left") return Kind::Left;
    if (name == "top") return Kind::Top;
    if (name == "width") return Kind::Width;
    if (name == "height") return Kind::Height;
    return std::nullopt;
}

bool StartsWithNumber(std::string_view value) {
    std::string_view trimmed = TrimLeft(value);
    if (!trimmed.empty() && (trimmed[0] == '-' || trimmed[0] == '+')) trimmed.remove_prefix(1);
    return !trimmed.empty() && std::isdigit(static_cast<unsigned char>(trimmed[0]));
}

}  // namespace

std::optional<Kind> BarNamed(std::string_view name) {
    std::string lower = Lower(name);
    if (lower == "toolbar") return Kind::ToolBar;
    if (lower == "menubar") return Kind::MenuBar;
    if (lower == "location") return Kind::AddressBar;
    if (lower == "status") return Kind::StatusBar;
    if (lower == "fullscreen") return Kind::FullScreen;
    if (lower == "resizable") return Kind::Resizable;
    return std::nullopt;
}

bool FeatureValueIsOn(std::string_view value) {
    std::string lower = Lower(Trim(value));
    return lower.empty() || lower == "yes" || lower == "1" || lower == "true";
}

std::vector<WindowRequest> RequestsFromFeatures(std::string_view features) {
    std::vector<WindowRequest> requests;
    if (Trim(features).empty()) return requests;

    std::optional<int> geometry[4];
    int bars[6] = {0, 0, 0, 0, 0, 0};
    std::size_t start = 0;
    while (start <= features.size()) {
        std::size_t comma = features.find(',', start);
        if (comma == std::string_view::npos) comma = features.size();
        std::string_view item = Trim(features.substr(start, comma - start));
        start = comma + 1;
        std::size_t equals = item.find('=');
        std::string name = Lower(Trim(item.substr(0, equals)));
        std::string_view value =
            equals == std::string_view::npos ? std::string_view() : item.substr(equals + 1);
        if (std::optional<Kind> kind = GeometryNamed(name)) {
            if (StartsWithNumber(value)) geometry[static_cast<int>(*kind)] = ParseDecimal(value);
        } else if (std::optional<Kind> bar = BarNamed(name)) {
            bars[static_cast<int>(*bar) - static_cast<int>(Kind::ToolBar)] =
                FeatureValueIsOn(value) ? 1 : 0;
        }
    }
    for (int i = 0; i < 4; ++i) {
        if (geometry[i]) requests.push_back({static_cast<Kind>(i), *geometry[i]});
    }
    for (int i = 0; i < 6; ++i) {
        requests.push_back({static_cast<Kind>(static_cast<int>(Kind::ToolBar) + i), bars[i]});
    }
    return requests;
}

}  // namespace qm::lab

#pragma once
// What the page side reads from element tag names. The document reports tag
// names in upper case; the link walk compares case-blind, the others exactly.

#include <string>
#include <string_view>
#include <utility>

namespace qm {

// An ASCII-only lower-casing: tag names are ASCII.
std::wstring LowerTagName(std::wstring_view tag);

// APPLET, EMBED, OBJECT or CONTROL, exactly: a plug-in that may open windows
// on the user's behalf.
bool IsPluginTag(std::wstring_view tag);

// The source of an activation that restarts the unload neutralizer.
inline bool IsBodyTag(std::wstring_view tag) {
    return tag == L"BODY";
}

// From `element` (whose tag name is `tag`) up through its parents to the
// nearest "a" element, not past "body" and not past the top. On true,
// `element` is that link. `tagOf(element)` gives a tag name (empty when it
// cannot be read); `parentOf(element)` gives the parent or a null element.
template <typename Element, typename TagOf, typename ParentOf>
bool WalkToEnclosingLink(Element& element, std::wstring_view tag, TagOf tagOf, ParentOf parentOf) {
    std::wstring lower = LowerTagName(tag);
    while (lower != L"a") {
        if (lower == L"body") return false;
        Element parent = parentOf(element);
        if (!parent) return false;
        element = std::move(parent);
        lower = LowerTagName(tagOf(element));
    }
    return true;
}

}  // namespace qm

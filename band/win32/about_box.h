#pragma once
// The About box: the product, its version and the maker's contact points as
// links. Choosing a link closes the box and then opens the link.

#include <windows.h>

#include "band/win32/face_host.h"

namespace qm::band {

// Runs dialog 245 modally over `owner`, then opens the chosen link: a mail
// through the shell, a web page as a new browser window of its own name.
void ShowAboutBox(FaceHost& host, HINSTANCE resources, HWND owner);

}  // namespace qm::band

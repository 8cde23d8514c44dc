// MinGW's uuid library lacks the identifiers of the HTML document and window
// event interfaces; every Win32 target gets them from here.

#include <windows.h>
#include <mshtml.h>

extern "C" const GUID DIID_HTMLDocumentEvents2 = {
    0x3050f613, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};
extern "C" const GUID DIID_HTMLWindowEvents2 = {
    0x3050f625, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};

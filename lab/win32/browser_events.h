#pragma once
// DWebBrowserEvents2 as the real browser raises them: arguments in reverse
// order in rgvarg, the address as a variant by reference, the browser-object
// slot and Cancel by reference, booleans as VARIANT_TRUE (-1) / VARIANT_FALSE.

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "common/win32/com_ptr.h"
#include "lab/win32/connection_point.h"
#include "lab/scenario.h"

namespace qm::lab {

// Each returns true when a sink set Cancel.
bool FireBeforeNavigate2(ConnectionPoint& point, IDispatch* browser, const std::wstring& url,
                         const std::wstring& targetFrame);
// `handed` receives the browser object a sink put into ppDisp, if any.
bool FireNewWindow2(ConnectionPoint& point, win32::ComPtr<IDispatch>& handed);

void FireNavigateComplete2(ConnectionPoint& point, IDispatch* browser, const std::wstring& url);
void FireDocumentComplete(ConnectionPoint& point, IDispatch* browser, const std::wstring& url);
void FireTitleChange(ConnectionPoint& point, const std::wstring& title);
void FireDownloadBegin(ConnectionPoint& point);
void FireDownloadComplete(ConnectionPoint& point);
// WindowSetLeft/Top/Width/Height (264-267), OnToolBar (255), OnMenuBar (256),
// OnAddressBar (261), OnStatusBar (257), OnFullScreen (258), WindowSetResizable (262).
void FireWindowRequest(ConnectionPoint& point, const WindowRequest& request);
void FireOnQuit(ConnectionPoint& point);

// An HTML event with its event object as the only argument; the sinks'
// answer (a VARIANT_BOOL for the cancellable events) is returned.
VARIANT_BOOL FireHtmlEvent(ConnectionPoint& point, DISPID dispid, IDispatch* eventObject);

}  // namespace qm::lab

#pragma once
// The "Popup Windows" page: the list of the popups the guard recorded in
// this browser window, newest first, in one of four views; a double click
// opens a recorded window again.

#include <windows.h>

#include <cstdint>
#include <optional>

#include "band/win32/face_host.h"
#include "band/popup_columns.h"

namespace qm::band {

class PopupListPage {
public:
    PopupListPage(FaceHost& host, HINSTANCE resources);
    ~PopupListPage();
    PopupListPage(const PopupListPage&) = delete;
    PopupListPage& operator=(const PopupListPage&) = delete;

    // Dialog 203 as a hidden child of `parent`.
    bool create(HWND parent);
    HWND window() const { return window_; }
    // The hidden frame that parents the windows of stopped popups.
    HWND captureParent() const;

    // Values outside 0 to 3 change nothing; `save` writes PopupListView.
    void setViewMode(std::int32_t value, bool save);
    // A row at the top for a record kept in the band's Records.
    void addRecord(const PopupRecord& record);
    // The row of a record the band is about to destroy goes.
    void removeRecord(const PopupRecord& record);
    // Empties the list and destroys every record.
    void clearRecords();

    std::optional<PopupListView> currentView() const;
    struct PointerPlace {
        bool inList;  // inside the list's client area, edges included
        bool onRow;
    };
    PointerPlace placeOf(POINT screen) const;
    // The record of the selected row; null without a selection.
    const PopupRecord* selectedRecord() const;

private:
    static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    void onInit();
    void onSize(int width, int height);
    void onNotify(const NMHDR& header);
    void remeasure();
    const PopupRecord* recordAt(int row) const;

    FaceHost& host_;
    HINSTANCE resources_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    PopupColumnSizes columns_;
    const int scrollBarWidth_;
};

}  // namespace qm::band

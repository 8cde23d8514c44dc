# The rules and log tools of the band: the "Tools" page, the rule editor, the
# log viewer and the log settings dialog, and the rule book behind them.
# Included from band/CMakeLists.txt, before its Windows-only part; paths are
# relative to this file so it can be included from anywhere.

set(QM_TOOLS_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)

# Editor decisions, rule lists, page layout, viewer content, log settings: portable.
target_sources(qmcore PRIVATE
  ${QM_TOOLS_ROOT}/rules/rule_book.cpp
  ${QM_TOOLS_ROOT}/rules/rule_editor_logic.cpp
  ${QM_TOOLS_ROOT}/rules/rule_lists.cpp
  ${QM_TOOLS_ROOT}/rules/tools_layout.cpp
  ${QM_TOOLS_ROOT}/log/dialog_placement.cpp
  ${QM_TOOLS_ROOT}/log/log_settings_logic.cpp
  ${QM_TOOLS_ROOT}/log/log_viewer_model.cpp)
target_sources(qm_unit_tests PRIVATE
  ${QM_TOOLS_ROOT}/rules/rule_book_test.cpp
  ${QM_TOOLS_ROOT}/rules/rule_editor_logic_test.cpp
  ${QM_TOOLS_ROOT}/rules/tools_layout_test.cpp
  ${QM_TOOLS_ROOT}/log/dialog_placement_test.cpp
  ${QM_TOOLS_ROOT}/log/log_settings_logic_test.cpp
  ${QM_TOOLS_ROOT}/log/log_viewer_model_test.cpp)

if(NOT WIN32)
  return()
endif()

# The windows: page, dialogs and the band's entry into them.
add_library(qmtools STATIC
  ${QM_TOOLS_ROOT}/rules/win32/band_tools.cpp
  ${QM_TOOLS_ROOT}/rules/win32/dialog_text.cpp
  ${QM_TOOLS_ROOT}/rules/win32/rule_editor_dialog.cpp
  ${QM_TOOLS_ROOT}/rules/win32/tools_page.cpp
  ${QM_TOOLS_ROOT}/log/win32/centred_dialog.cpp
  ${QM_TOOLS_ROOT}/log/win32/log_settings_dialog.cpp
  ${QM_TOOLS_ROOT}/log/win32/log_viewer_dialog.cpp)
target_link_libraries(qmtools PUBLIC qmplatform user32 gdi32 comctl32)

# Dialogs 205, 246, 250, 251 and bitmaps 249, 252; the DLL adds them to its own.
set(QM_TOOLS_RESOURCES ${QM_TOOLS_ROOT}/rules/resources/tools.rc)
set_source_files_properties(${QM_TOOLS_RESOURCES} PROPERTIES OBJECT_DEPENDS
  "${QM_TOOLS_ROOT}/rules/resources/tools_ids.h;\
${QM_TOOLS_ROOT}/rules/resources/pictures/rule_icons.bmp;\
${QM_TOOLS_ROOT}/rules/resources/pictures/log_icons.bmp")

# The Wine tests host the page and dialogs themselves, with the resources in
# the test program.
target_sources(qm_wine_tests PRIVATE
  ${QM_TOOLS_ROOT}/rules/win32/testing/dialog_driver.cpp
  ${QM_TOOLS_ROOT}/rules/win32/wine_test_tools_page.cpp
  ${QM_TOOLS_ROOT}/log/win32/wine_test_log_dialogs.cpp
  ${QM_TOOLS_RESOURCES})
target_link_libraries(qm_wine_tests PRIVATE qmtools qmtesting)

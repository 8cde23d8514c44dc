# The band's face: minitab, tabs and buttons, the "Popup Windows" and
# "Preferences" pages, the About box and their resources. Included from
# band/CMakeLists.txt; paths are relative to this file so it can be included
# from anywhere.

set(QM_FACE_DIR ${CMAKE_CURRENT_LIST_DIR})

# Geometry, shapes, column widths, menu composition and command logic: portable.
target_sources(qmcore PRIVATE
  ${QM_FACE_DIR}/about_links.cpp
  ${QM_FACE_DIR}/band_context_menu.cpp
  ${QM_FACE_DIR}/flash_alert.cpp
  ${QM_FACE_DIR}/minitab_commands.cpp
  ${QM_FACE_DIR}/minitab_layout.cpp
  ${QM_FACE_DIR}/popup_columns.cpp
  ${QM_FACE_DIR}/tab_shapes.cpp)
target_sources(qm_unit_tests PRIVATE
  ${QM_FACE_DIR}/about_links_test.cpp
  ${QM_FACE_DIR}/band_context_menu_test.cpp
  ${QM_FACE_DIR}/flash_alert_test.cpp
  ${QM_FACE_DIR}/minitab_commands_test.cpp
  ${QM_FACE_DIR}/minitab_layout_test.cpp
  ${QM_FACE_DIR}/popup_columns_test.cpp
  ${QM_FACE_DIR}/tab_shapes_test.cpp)

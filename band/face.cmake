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

if(NOT WIN32)
  return()
endif()

# The windows of the face: minitab, pages, About box. The DLL links it and
# adds QM_FACE_RESOURCES to its own sources.
add_library(qmface STATIC
  ${QM_FACE_DIR}/win32/about_box.cpp
  ${QM_FACE_DIR}/win32/band_face.cpp
  ${QM_FACE_DIR}/win32/face_host.cpp
  ${QM_FACE_DIR}/win32/face_painting.cpp
  ${QM_FACE_DIR}/win32/minitab_window.cpp
  ${QM_FACE_DIR}/win32/popup_list_page.cpp
  ${QM_FACE_DIR}/win32/preferences_page.cpp
  ${QM_FACE_DIR}/win32/subclassed_window.cpp)
target_link_libraries(qmface PUBLIC qmcore qmplatform comctl32 gdi32 user32 shell32)

set(QM_FACE_RESOURCES ${QM_FACE_DIR}/resources/face.rc)
file(GLOB QM_FACE_PICTURES ${QM_FACE_DIR}/resources/pictures/*.bmp
                           ${QM_FACE_DIR}/resources/pictures/*.cur)
set_source_files_properties(${QM_FACE_RESOURCES} PROPERTIES
  OBJECT_DEPENDS "${QM_FACE_PICTURES};${QM_FACE_DIR}/resources/face_ids.h;${QM_FACE_DIR}/resources/face_addresses.h")

# The Wine tests host the face in a window of their own, with the face's
# resources linked into the test program.
target_sources(qm_wine_tests PRIVATE
  ${QM_FACE_RESOURCES}
  ${QM_FACE_DIR}/win32/testing/face_harness.cpp
  ${QM_FACE_DIR}/win32/wine_test_minitab.cpp
  ${QM_FACE_DIR}/win32/wine_test_popup_list_page.cpp
  ${QM_FACE_DIR}/win32/wine_test_preferences_page.cpp
  ${QM_FACE_DIR}/win32/wine_test_about_box.cpp)
target_link_libraries(qm_wine_tests PRIVATE qmface qmtesting)

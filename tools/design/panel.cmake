# The designer's link panel and dialogs. The field values, the disc-relative names and the panel's scroll
# arithmetic are portable and built everywhere (tested on Linux); the windows are built for Windows only.
add_library(velmaro_design_fields STATIC
  ${CMAKE_CURRENT_LIST_DIR}/action_types.cpp
  ${CMAKE_CURRENT_LIST_DIR}/colour_field.cpp
  ${CMAKE_CURRENT_LIST_DIR}/disc_relative_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/panel_scroll.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/style_field.cpp
)
# On Windows over the tools' build of the program's logic, as the rest of the designer: the one with type
# information and without link-time optimisation, which cannot be mixed with objects built without it.
if(WIN32)
  target_link_libraries(velmaro_design_fields PUBLIC velmaro_core_rtti)
else()
  target_link_libraries(velmaro_design_fields PUBLIC velmaro_core)
endif()

if(WIN32)
  add_library(velmaro_design_panel STATIC
    ${CMAKE_CURRENT_LIST_DIR}/disc_file_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/link_panel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/link_panel_fields.cpp
    ${CMAKE_CURRENT_LIST_DIR}/link_panel_scroll.cpp
    ${CMAKE_CURRENT_LIST_DIR}/panel_controls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startup_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/system_dialogs.cpp
  )
  # comdlg32 is bound at first use (system_dialogs.cpp), through the paint library's system DLL loader, which
  # also gives the DPI queries the panel's font follows: the build without link-time optimisation, as the
  # fields use.
  target_link_libraries(velmaro_design_panel PUBLIC velmaro_design_fields velmaro_win32_paint_rtti gdi32 user32)

  # Shows the panel and the dialogs alone, each callback written to standard output: for trying them out
  # and for driving them under Wine (tests/design/panel_e2e.sh). Built only when asked for.
  add_executable(velmaro-design-panel-demo EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/panel_demo.cpp)
  target_link_libraries(velmaro-design-panel-demo PRIVATE velmaro_design_panel)
  target_link_options(velmaro-design-panel-demo PRIVATE -static -static-libgcc -static-libstdc++ -municode)
endif()

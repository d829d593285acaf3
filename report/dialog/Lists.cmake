# The error dialog's call-stack and modules lists: the row model and the source-location record
# in both trees, the list views and the mailslot writer in the Windows tree.
add_library(dm_report_dialog_lists STATIC
  ${CMAKE_CURRENT_LIST_DIR}/ECallStackRows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ESourceLocation.cpp
)
target_link_libraries(dm_report_dialog_lists PUBLIC dm_report_text dm_platform)
if(DIALMOOR_WIN32)
  target_sources(dm_report_dialog_lists PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ECallStackListCellsWin32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ECallStackListWin32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/EModulesListWin32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ESourceLocationWin32.cpp
  )
  target_link_libraries(dm_report_dialog_lists PUBLIC comctl32 gdi32 user32)
endif()

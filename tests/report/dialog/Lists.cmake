# Tests of the call-stack and modules lists: the row model and the source-location record on
# the host; the list views, their icons and the mailslot message under Wine.
dm_add_test(report_dialog_lists_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ECallStackRowsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ESourceLocationTest.cpp
  LIBS dm_report_dialog_lists)

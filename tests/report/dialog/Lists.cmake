# Tests of the call-stack and modules lists: the row model and the source-location record on
# the host; the list views, their icons and the mailslot message under Wine.
dm_add_test(report_dialog_lists_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/ECallStackRowsTest.cpp
          ${CMAKE_CURRENT_LIST_DIR}/ESourceLocationTest.cpp
  LIBS dm_report_dialog_lists)
if(DIALMOOR_WIN32)
  enable_language(RC)
  dm_add_test(report_dialog_lists_win32_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/ECallStackListWin32Test.cpp
            ${CMAKE_CURRENT_LIST_DIR}/ECallStackListsTest.rc
            ${CMAKE_SOURCE_DIR}/tests/platform/gui/WindowShotWin32.cpp
    LIBS dm_report_dialog_lists
    ENV "DM_SHOT_DIR=${CMAKE_BINARY_DIR}/screenshots")
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/screenshots)
  set_tests_properties(win32.report_dialog_lists_win32_test PROPERTIES
                       FIXTURES_SETUP dialog_lists_shots)
  add_test(NAME win32.report_dialog_lists_screenshot_png
           COMMAND sh -c "convert call-stack-lists.bmp call-stack-lists.png && rm call-stack-lists.bmp"
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/screenshots)
  set_tests_properties(win32.report_dialog_lists_screenshot_png PROPERTIES
                       FIXTURES_REQUIRED dialog_lists_shots)
endif()

# The build tool that embeds the reporting configuration. The host tree builds it as a normal
# target (its tests and fuzzers use the same code); the Windows tree builds a native copy to
# run at build time, through cmake/EmbedReportConfig.cmake.
if(NOT DIALMOOR_WIN32)
  add_library(dm_report_config_tool STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ReportConfigPe.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReportConfigSymbols.cpp
  )
  target_link_libraries(dm_report_config_tool PUBLIC dm_report_config)
  add_executable(ReportConfigTool ${CMAKE_CURRENT_LIST_DIR}/ReportConfigTool.cpp)
  target_link_libraries(ReportConfigTool PRIVATE dm_report_config_tool)
endif()
include(${CMAKE_SOURCE_DIR}/cmake/EmbedReportConfig.cmake)

target_sources(dm_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/StrConvert.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/IniFileMemory.cpp
)
if(DIALMOOR_WIN32)
  target_sources(dm_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/IniFileWin32.cpp)
else()
  target_sources(dm_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/IniFileHost.cpp)
endif()

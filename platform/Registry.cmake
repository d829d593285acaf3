target_sources(dm_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/RegistryBackend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Registry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MemoryRegistry.cpp
)
if(DIALMOOR_WIN32)
  target_sources(dm_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Win32Registry.cpp)
  target_link_libraries(dm_platform PUBLIC advapi32)
else()
  target_sources(dm_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/RegistryHost.cpp)
endif()

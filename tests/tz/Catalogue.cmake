dm_add_test(platform_registry_test
  SOURCES ${CMAKE_SOURCE_DIR}/tests/platform/RegistryTest.cpp LIBS dm_platform)
dm_add_test(tz_catalogue_test SOURCES CatalogueTest.cpp LIBS dm_tz)
if(DIALMOOR_WIN32)
  dm_add_test(platform_registry_win32_test
    SOURCES ${CMAKE_SOURCE_DIR}/tests/platform/RegistryWin32Test.cpp LIBS dm_platform)
  dm_add_test(tz_catalogue_win32_test SOURCES CatalogueWin32Test.cpp LIBS dm_tz dm_tz_shared)
endif()

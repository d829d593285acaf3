target_sources(dm_tz PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/KtTimezoneRegistry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/KtTimezoneCatalogue.cpp
)

# An object library, so that its start-up object is linked whether or not anything calls it.
add_library(dm_tz_shared OBJECT ${CMAKE_CURRENT_LIST_DIR}/KtTimezoneShared.cpp)
target_link_libraries(dm_tz_shared PUBLIC dm_tz)

# Disassembly listings of the program's own code, compiled for i686 as the Windows build does
# and with wider instruction sets, for the length decoder's check against objdump.
find_program(DM_MINGW_CXX i686-w64-mingw32-g++-posix)
find_program(DM_MINGW_OBJDUMP i686-w64-mingw32-objdump)
set(DM_HOOK_LISTINGS "")
if(DM_MINGW_CXX AND DM_MINGW_OBJDUMP)
  set(_dm_all_sources
    tz/KtTimezone.cpp tz/KtTimezoneCatalogue.cpp tz/KtTimezoneRegistry.cpp
    tz/KtTimezoneShared.cpp tz/VmoDates.cpp platform/DateTime.cpp platform/SysUtils.cpp)
  # variant name | flags | sources (empty: all of them)
  set(_dm_variants
    "release|-O2 -msse2 -mfpmath=sse|"
    "debug|-O0|"
    "size|-Os|tz/KtTimezone.cpp tz/VmoDates.cpp"
    "sse42|-O3 -msse4.2 -mfpmath=sse|tz/KtTimezone.cpp tz/KtTimezoneRegistry.cpp platform/DateTime.cpp"
    "avx2|-O2 -march=haswell|"
    "avx512|-O2 -march=skylake-avx512|tz/KtTimezoneCatalogue.cpp tz/KtTimezone.cpp")
  foreach(_variant IN LISTS _dm_variants)
    string(REPLACE "|" ";" _parts "${_variant}")
    list(GET _parts 0 _name)
    list(GET _parts 1 _flags)
    list(GET _parts 2 _sources)
    separate_arguments(_flags UNIX_COMMAND "${_flags}")
    separate_arguments(_sources UNIX_COMMAND "${_sources}")
    if(NOT _sources)
      set(_sources ${_dm_all_sources})
    endif()
    foreach(_source IN LISTS _sources)
      get_filename_component(_stem ${_source} NAME_WE)
      set(_object ${CMAKE_CURRENT_BINARY_DIR}/listings/${_name}-${_stem}.o)
      set(_listing ${CMAKE_CURRENT_BINARY_DIR}/listings/${_name}-${_stem}.lst)
      add_custom_command(
        OUTPUT ${_listing}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/listings
        COMMAND ${DM_MINGW_CXX} -std=c++20 ${_flags} -DWIN32_LEAN_AND_MEAN -DNOMINMAX
                -D_WIN32_WINNT=0x0601 -I${CMAKE_SOURCE_DIR} -c ${CMAKE_SOURCE_DIR}/${_source}
                -o ${_object}
        COMMAND sh -c "\"$1\" -d -z --insn-width=16 -M intel \"$2\" > \"$3\""
                sh ${DM_MINGW_OBJDUMP} ${_object} ${_listing}
        DEPENDS ${CMAKE_SOURCE_DIR}/${_source}
        VERBATIM)
      list(APPEND DM_HOOK_LISTINGS ${_listing})
    endforeach()
  endforeach()
  add_custom_target(dm_hook_listings DEPENDS ${DM_HOOK_LISTINGS})
else()
  message(WARNING "i686-w64-mingw32 tools missing (scripts/deps installs them): "
                  "the length decoder is not checked against objdump")
endif()

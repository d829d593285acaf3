# dm_embed_report_config(target options_file [KEY key] [SYMBOLS id=Class::Procedure ...]
#                        [KEEP_DEBUG])
#
# After each link of the Windows executable `target`, compiles `options_file` (the format of
# config/README.md) into the reporting configuration container, generates the debug
# information of the program's own code (every source under the repository) from the linked
# image, strips the DWARF sections from the shipped file and appends the container to it. The
# unstripped image stays beside it as <exe>.dbg for debuggers. The tool refuses to finish when
# the loaded image differs from the one the tables were made from.
#
# The program then calls StartOskedaModuleConfig() (report/options/EModuleConfigWin32.h) first
# thing and links dm_report_module. Directory symbols 0 and 1 default to TApplication's
# HandleException and ShowException when the program has them.
include_guard(GLOBAL)

if(DIALMOOR_WIN32)
  # A native build of the tool inside the cross tree: the host compiler straight on its sources.
  set(_dm_rc_sources
    tools/ReportConfigTool.cpp tools/ReportConfigPe.cpp tools/ReportConfigSymbols.cpp
    report/options/EConfigContainer.cpp report/options/EConfigFile.cpp
    report/options/EDebugInfo.cpp report/options/EDebugInfoNames.cpp report/options/EZlibBlock.cpp
    report/options/EOptionsStream.cpp report/options/EOptionsIO.cpp
    report/options/EOptionsLegacy.cpp report/options/EStoredOptions.cpp
    report/options/EOptionsTypes.cpp report/options/ECustomizedTexts.cpp
    report/options/ENotifyStringList.cpp report/options/EStreams.cpp platform/SysUtils.cpp
    delivery/log/ECallStackNames.cpp delivery/log/EEncrypt.cpp delivery/log/EMD5.cpp
    delivery/mail/EBase64.cpp)
  list(TRANSFORM _dm_rc_sources PREPEND ${CMAKE_SOURCE_DIR}/)
  file(GLOB _dm_rc_headers ${CMAKE_SOURCE_DIR}/report/options/*.h ${CMAKE_SOURCE_DIR}/platform/*.h
       ${CMAKE_SOURCE_DIR}/tools/ReportConfig*.h ${CMAKE_SOURCE_DIR}/delivery/log/E*.h
       ${CMAKE_SOURCE_DIR}/delivery/mail/EBase64.h)
  find_program(DM_HOST_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
  set(DM_REPORT_CONFIG_TOOL ${CMAKE_BINARY_DIR}/hosttools/ReportConfigTool
      CACHE INTERNAL "native build tool of the reporting configuration")
  add_custom_command(
    OUTPUT ${DM_REPORT_CONFIG_TOOL}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/hosttools
    COMMAND ${DM_HOST_CXX} -std=c++20 -O1 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR} ${_dm_rc_sources}
            -lz -o ${DM_REPORT_CONFIG_TOOL}
    DEPENDS ${_dm_rc_sources} ${_dm_rc_headers}
    COMMENT "Building the native ReportConfigTool"
    VERBATIM)
  add_custom_target(dm_report_config_tool_native DEPENDS ${DM_REPORT_CONFIG_TOOL})

  foreach(_dm_tool NM OBJDUMP OBJCOPY)
    string(TOLOWER ${_dm_tool} _dm_tool_lower)
    if(NOT CMAKE_${_dm_tool})
      find_program(CMAKE_${_dm_tool} i686-w64-mingw32-${_dm_tool_lower} REQUIRED)
    endif()
  endforeach()
endif()

# Line tables need -g in every library of the program that is built from this repository;
# -g1 (functions and lines, no variables) changes no generated code.
function(_dm_report_config_debug_lines target)
  get_target_property(_libs ${target} LINK_LIBRARIES)
  if(NOT _libs)
    return()
  endif()
  foreach(_lib IN LISTS _libs)
    if(NOT TARGET ${_lib})
      continue()
    endif()
    get_target_property(_imported ${_lib} IMPORTED)
    get_target_property(_type ${_lib} TYPE)
    get_target_property(_dir ${_lib} SOURCE_DIR)
    if(_imported OR NOT _type MATCHES "STATIC_LIBRARY|OBJECT_LIBRARY")
      continue()
    endif()
    cmake_path(IS_PREFIX CMAKE_SOURCE_DIR "${_dir}" _ours)
    if(NOT _ours)
      continue()
    endif()
    get_property(_done TARGET ${_lib} PROPERTY DM_DEBUG_LINES)
    if(NOT _done)
      set_property(TARGET ${_lib} PROPERTY DM_DEBUG_LINES ON)
      target_compile_options(${_lib} PRIVATE -g1)
      _dm_report_config_debug_lines(${_lib})
    endif()
  endforeach()
endfunction()

function(dm_embed_report_config target options_file)
  if(NOT DIALMOOR_WIN32)
    return()
  endif()
  cmake_parse_arguments(E "" "KEY" "SYMBOLS" ${ARGN})
  if(NOT E_SYMBOLS)
    set(E_SYMBOLS "0=TApplication::HandleException" "1=TApplication::ShowException")
  endif()
  cmake_path(ABSOLUTE_PATH options_file BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(${target} PRIVATE -g1)
  # With link-time optimisation the code, and so its line tables, is made at the link.
  target_link_options(${target} PRIVATE -g1)
  _dm_report_config_debug_lines(${target})
  add_dependencies(${target} dm_report_config_tool_native)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${options_file}
               ${DM_REPORT_CONFIG_TOOL})
  set(_extra)
  foreach(_symbol IN LISTS E_SYMBOLS)
    list(APPEND _extra --symbol ${_symbol})
  endforeach()
  if(E_KEY)
    list(APPEND _extra --key ${E_KEY})
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${DM_REPORT_CONFIG_TOOL} embed
            --exe $<TARGET_FILE:${target}>
            --options ${options_file}
            --source-root ${CMAKE_SOURCE_DIR}
            --nm ${CMAKE_NM} --objdump ${CMAKE_OBJDUMP}
            --objcopy ${CMAKE_OBJCOPY} --keep-debug $<TARGET_FILE:${target}>.dbg
            ${_extra}
    COMMENT "Embedding the reporting configuration into ${target}"
    VERBATIM)
endfunction()

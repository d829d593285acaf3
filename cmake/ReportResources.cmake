# dm_add_report_resources(target): gives a Windows program the error dialog's templates and
# pictures (report/dialog/OskedaDialogs.rc). Resources live in the program itself: a static
# library does not carry them reliably. A program with a resource script of its own keeps it;
# the linker joins both resource sections.
include_guard(GLOBAL)

if(DIALMOOR_WIN32)
  enable_language(RC)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(_dm_dialog_dir ${CMAKE_SOURCE_DIR}/report/dialog)
  set(_dm_bitmap_dir ${CMAKE_BINARY_DIR}/report/dialog/bitmaps)
  set(_dm_bitmaps)
  foreach(_name OZ_ERROR OZ_PLUS OZ_MINUS OZ_PAS OZ_DLL OZ_BPL OZ_VCL)
    list(APPEND _dm_bitmaps ${_dm_bitmap_dir}/${_name}.bmp)
  endforeach()
  add_custom_command(
    OUTPUT ${_dm_bitmaps}
    COMMAND ${Python3_EXECUTABLE} ${_dm_dialog_dir}/resources/make_bitmaps.py ${_dm_bitmap_dir}
    DEPENDS ${_dm_dialog_dir}/resources/make_bitmaps.py
    COMMENT "Drawing the error dialog's pictures"
    VERBATIM)
  add_custom_target(dm_report_dialog_bitmaps DEPENDS ${_dm_bitmaps})
  add_library(dm_report_dialog_resources OBJECT ${_dm_dialog_dir}/OskedaDialogs.rc)
  target_include_directories(dm_report_dialog_resources PRIVATE ${_dm_bitmap_dir})
  set_source_files_properties(${_dm_dialog_dir}/OskedaDialogs.rc PROPERTIES
    OBJECT_DEPENDS "${_dm_bitmaps}")
  add_dependencies(dm_report_dialog_resources dm_report_dialog_bitmaps)
endif()

function(dm_add_report_resources target)
  if(DIALMOOR_WIN32)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:dm_report_dialog_resources>)
    add_dependencies(${target} dm_report_dialog_resources)
  endif()
endfunction()

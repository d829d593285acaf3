# dm_strip_debug(target): after each link, the shipped executable loses its DWARF sections and
# its symbol table; the unstripped image stays beside it as <exe>.dbg for debuggers, as
# Dialmoor.exe's does.
include_guard(GLOBAL)

function(dm_strip_debug target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.dbg
    COMMAND ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()

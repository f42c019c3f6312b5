# SPDX-License-Identifier: MIT
# Run by cpack on the files it is about to package (CPACK_PRE_BUILD_SCRIPTS):
# removes from every ELF file the sections that a shipped program does not
# need, .comment (the compilers' version strings) and .note, as Debian's
# dh_strip does.

file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    execute_process(COMMAND "${CPACK_VARNOQUIL_STRIP}" --remove-section=.comment --remove-section=.note "${file}"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()

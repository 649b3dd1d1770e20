# SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Run by CPack on the staged files before the package is made. CPACK_STRIP_FILES calls plain
# strip, which keeps the compiler's .comment and the bare .note section; drop those as Debian's
# own packaging does (the build id, in .note.gnu.build-id, stays).
find_program(MERROW_STRIP strip REQUIRED)
# The program is in bin/, or in games/ for the Debian package, below the prefix and, when
# CPack makes one package per component, below the component's folder.
file(GLOB_RECURSE installed LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
set(binaries ${installed})
list(FILTER binaries INCLUDE REGEX "/(bin|games)/[^/]+$")
foreach(binary IN LISTS binaries)
  execute_process(COMMAND ${MERROW_STRIP} --remove-section=.comment --remove-section=.note "${binary}"
                  COMMAND_ERROR_IS_FATAL ANY)
endforeach()
if(NOT binaries)
  message(FATAL_ERROR "no installed programs under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()

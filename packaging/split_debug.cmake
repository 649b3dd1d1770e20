# SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the debug information of MERROW_PROGRAM as Debian's debug symbol packages hold it:
# usr/lib/debug/.build-id/<first two hex digits of the build id>/<the rest>.debug, compressed.
# Run at install time for the debug component; MERROW_DEBUG_WORK is a scratch folder.
find_program(MERROW_OBJCOPY objcopy REQUIRED)
find_program(MERROW_READELF readelf REQUIRED)

execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${MERROW_READELF} --notes "${MERROW_PROGRAM}"
                OUTPUT_VARIABLE notes COMMAND_ERROR_IS_FATAL ANY)
if(NOT notes MATCHES "Build ID: ([0-9a-f][0-9a-f])([0-9a-f]+)")
  message(FATAL_ERROR "${MERROW_PROGRAM} has no build id, so its debug symbols could not be found")
endif()
set(folder ${CMAKE_MATCH_1})
set(debug_file "${MERROW_DEBUG_WORK}/${CMAKE_MATCH_2}.debug")

file(REMOVE_RECURSE "${MERROW_DEBUG_WORK}")
file(MAKE_DIRECTORY "${MERROW_DEBUG_WORK}")
execute_process(COMMAND ${MERROW_OBJCOPY} --only-keep-debug --compress-debug-sections
                        "${MERROW_PROGRAM}" "${debug_file}"
                COMMAND_ERROR_IS_FATAL ANY)
file(INSTALL "${debug_file}" DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/debug/.build-id/${folder}"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
# SPDX-License-Identifier: GPL-3.0-or-later
# The editor started as the help window starts it, as the reader of a help file: it streams the
# file's objects after the reader's magic line, and refuses what is not a help file.
# cmake -DEXE=<merrow-editor> -DHELP=<help file> [-DEMULATOR=<wine>] -P readhelp.cmake
execute_process(COMMAND ${EMULATOR} "${EXE}" --read-help "${HELP}"
  RESULT_VARIABLE code OUTPUT_VARIABLE output)
string(FIND "${output}" "merrow-help 1\n" at)
if(NOT code EQUAL 0 OR NOT at EQUAL 0)
  message(FATAL_ERROR "--read-help ${HELP}: exit code ${code}, output begins '${output}'")
endif()
string(FIND "${output}" "/checking.htm" page)
if(page EQUAL -1)
  message(FATAL_ERROR "--read-help ${HELP}: no /checking.htm among the objects")
endif()
execute_process(COMMAND ${EMULATOR} "${EXE}" --read-help "${CMAKE_CURRENT_LIST_FILE}"
  RESULT_VARIABLE code OUTPUT_VARIABLE output)
if(code EQUAL 0)
  message(FATAL_ERROR "--read-help took a file that is no help file")
endif()

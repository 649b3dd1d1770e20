# SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs the built program's --check on the description.ext of each mission folder under DATA and
# compares the exit code and the diagnostics with MISSION.expected beside the folder. Only the
# first line of each diagnostic ("FILE:LINE:COLUMN: severity: message [name]") is compared:
# what is printed under it to show the place is the presentation's, tested on its own.
# cmake -DEXE=<merrow-editor> -DDATA=<tests/data/missions> -P checkmissions.cmake
function(check_mission name expected_code)
  execute_process(COMMAND ${EMULATOR} "${EXE}" --check "${name}/description.ext"
    WORKING_DIRECTORY "${DATA}"
    RESULT_VARIABLE code OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  # A Windows console program ends its lines with CR LF.
  string(REPLACE "\r\n" "\n" output "${output}")
  # Messages hold ';', which would split a CMake list.
  string(REPLACE ";" "<semicolon>" output "${output}")
  string(REPLACE "\n" ";" lines "${output}")
  set(diagnostics "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[^ ]+:[0-9]+:[0-9]+: (error|warning|note): ")
      string(APPEND diagnostics "${line}\n")
    endif()
  endforeach()
  string(REPLACE "<semicolon>" ";" diagnostics "${diagnostics}")
  file(READ "${DATA}/${name}.expected" expected)
  if(NOT code STREQUAL "${expected_code}" OR NOT diagnostics STREQUAL "${expected}")
    message(FATAL_ERROR "--check ${name}: exit code ${code} (expected ${expected_code}), "
      "printed:\n${diagnostics}\nexpected:\n${expected}${errors}")
  endif()
endfunction()

check_mission(complete 0)
# A mission folder stands for its description.ext.
execute_process(COMMAND ${EMULATOR} "${EXE}" --check complete WORKING_DIRECTORY "${DATA}"
  RESULT_VARIABLE code OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "--check complete (a folder): exit code ${code}\n${output}${errors}")
endif()
check_mission(broken 1)
check_mission(macros 1)
# What mission frameworks copy (CBA's macros, __EXEC, Vcom's settings line, the game's own
# pictures and sounds): read without an error, as the game reads it.
check_mission(frameworks 0)

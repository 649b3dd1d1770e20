# SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs the built program's --check over the data set, as a CI system would, and compares the
# exit code and the printed lines with what the in-process test expects.
# cmake -DEXE=<merrow-editor> -DDATA=<tests/data/config> -P checkcli.cmake
function(run_check expected_code expected_output)
  execute_process(COMMAND ${EMULATOR} "${EXE}" --check ${ARGN}
    WORKING_DIRECTORY "${DATA}"
    RESULT_VARIABLE code OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  # A Windows console program ends its lines with CR LF.
  string(REPLACE "\r\n" "\n" output "${output}")
  if(NOT code STREQUAL "${expected_code}")
    message(FATAL_ERROR "--check ${ARGN}: exit code ${code}, expected ${expected_code}\n${output}${errors}")
  endif()
  if(NOT "${expected_output}" STREQUAL "-" AND NOT output STREQUAL "${expected_output}")
    message(FATAL_ERROR "--check ${ARGN} printed:\n${output}\nexpected:\n${expected_output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

file(READ "${DATA}/check.expected" expected)
run_check(1 "${expected}" valid.ext utf8bom.ext cp1252.ext mistakes.ext)
run_check(0 "" valid.ext)
run_check(2 "-" valid.ext does-not-exist.ext)
run_check(2 "-" inc)
# A problem two includes deep, with the #include lines that led to it and its source line.
file(READ "${DATA}/included.expected" expected)
run_check(1 "${expected}" included.ext)
# The forms for CI systems, and a limit: an unknown form or a wrong limit is a usage error.
run_check(2 "-" --format=xml valid.ext)
run_check(2 "-" --max-diagnostics=-1 valid.ext)
run_check(2 "-" --max-diagnostics=many valid.ext)
run_check(1 "::error file=included/texts.hpp,line=2,col=36,endColumn=44,title=missing-semicolon::expected ';' after the value, found 'briefing'%0AIn file included from included/settings.hpp:2%0AIn file included from included.ext:3\n"
  --format=github included.ext)
run_check(1 "-" --format=json --max-diagnostics=1 mistakes.ext)
if(NOT output MATCHES "\"notShown\": [1-9]")
  message(FATAL_ERROR "--format=json --max-diagnostics=1 does not count what it left out:\n${output}")
endif()

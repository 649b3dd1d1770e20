# SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# The editor's command line as a user without a desktop meets it, and the man page and the
# help's command-line page against it. Run by ctest: cmake -DEDITOR=<binary>
# -DMAN_PAGE=<merrow-editor.1> -DHELP_PAGE=<command_line.htm> -DVERSION=<x.y> -P check_cli.cmake
cmake_minimum_required(VERSION 3.20)

set(failures "")
macro(fail text)
  string(APPEND failures "\n  - ${text}")
endmacro()

# No display at all: the options that only print must not need a window system. Temporary
# files go to a folder of the test's own, which must stay empty.
set(scratch "${CMAKE_CURRENT_BINARY_DIR}/cli-tmp")
file(REMOVE_RECURSE "${scratch}")
file(MAKE_DIRECTORY "${scratch}")
function(run_editor)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            --unset=QT_QPA_PLATFORM TMPDIR=${scratch} ${ENVIRONMENT} ${EDITOR} ${ARGN}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc TIMEOUT 30)
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
  set(rc "${rc}" PARENT_SCOPE)
endfunction()

run_editor(--help)
set(help "${out}")
if(NOT rc STREQUAL "0")
  fail("--help exited with '${rc}', expected 0; stderr: ${err}")
endif()
run_editor(-h)
if(NOT rc STREQUAL "0" OR NOT out STREQUAL help)
  fail("-h must print what --help prints and exit 0 (exit '${rc}')")
endif()

string(REGEX MATCHALL "--[A-Za-z0-9][A-Za-z0-9-]*" help_options "${help}")
list(REMOVE_DUPLICATES help_options)
foreach(required --help --version --check)
  if(NOT required IN_LIST help_options)
    fail("--help does not list ${required}")
  endif()
endforeach()

# Compare as a reader sees the page: roff writes "-" as "\-" and switches fonts with "\fB" etc.
file(READ "${MAN_PAGE}" man)
string(REPLACE "\\-" "-" man "${man}")
string(REGEX REPLACE "\\\\f[BIRP]" "" man "${man}")
foreach(option IN LISTS help_options)
  if(NOT man MATCHES "(^|[^A-Za-z0-9-])${option}($|[^A-Za-z0-9-])")
    fail("the man page does not document ${option}, which --help lists")
  endif()
endforeach()
string(REGEX MATCHALL "--[A-Za-z0-9][A-Za-z0-9-]*" man_options "${man}")
list(REMOVE_DUPLICATES man_options)
foreach(option IN LISTS man_options)
  if(NOT option IN_LIST help_options)
    fail("the man page documents ${option}, which --help does not list")
  endif()
endforeach()

# The help's command-line page, the same both ways.
file(READ "${HELP_PAGE}" page)
foreach(option IN LISTS help_options)
  if(NOT page MATCHES "<code>${option}</code>")
    fail("${HELP_PAGE} does not document ${option}, which --help lists")
  endif()
endforeach()
string(REGEX MATCHALL "--[A-Za-z0-9][A-Za-z0-9-]*" page_options "${page}")
list(REMOVE_DUPLICATES page_options)
foreach(option IN LISTS page_options)
  if(NOT option IN_LIST help_options)
    fail("${HELP_PAGE} names ${option}, which --help does not list")
  endif()
endforeach()

foreach(flag --version -v)
  run_editor(${flag})
  string(REGEX MATCH "^[^\n]*" version "${out}")
  if(NOT rc STREQUAL "0" OR NOT version STREQUAL "merrow-editor ${VERSION}")
    fail("${flag} printed '${version}' and exited '${rc}', expected 'merrow-editor ${VERSION}' and 0")
  endif()
  if(NOT out MATCHES "\nLicence: GPL-3.0-or-later ")
    fail("${flag} does not name the licence:\n${out}")
  endif()
endforeach()

# --help shows what is accepted: one file to open, or any number with --check.
if(NOT help MATCHES "merrow-editor \\[options\\] \\[file \\| --check file\\.\\.\\.\\]")
  fail("--help does not show '[file | --check file...]':\n${help}")
endif()
file(WRITE "${scratch}/../cli-one.ext" "a = 1;\n")
file(WRITE "${scratch}/../cli-two.ext" "b = 2;\n")
run_editor(--check "${scratch}/../cli-one.ext" "${scratch}/../cli-two.ext")
if(NOT rc STREQUAL "0")
  fail("--check of two clean files without a display exited '${rc}': ${out}${err}")
endif()
run_editor("${scratch}/../cli-one.ext" "${scratch}/../cli-two.ext")
if(NOT rc STREQUAL "2" OR NOT err MATCHES "Only one file can be opened at a time")
  fail("two files to open exited '${rc}' with '${err}'")
endif()

# Starting the window without a display, or with one that cannot be reached: one sentence,
# exit 1, and nothing left behind.
set(no_display "merrow-editor cannot open its window because no display can be reached; --check, --help and --version work without one.\n")
foreach(display none unreachable)
  set(ENVIRONMENT "")
  if(display STREQUAL "unreachable")
    set(ENVIRONMENT DISPLAY=:4711)
  endif()
  run_editor("${scratch}/../cli-one.ext")
  file(GLOB left "${scratch}/*")
  if(NOT rc STREQUAL "1" OR NOT err STREQUAL no_display OR NOT out STREQUAL "" OR left)
    fail("with ${display} display: exit '${rc}' (expected 1), stderr '${err}', left '${left}'")
  endif()
endforeach()
set(ENVIRONMENT "")

# A mistyped option must not start the editor: a clear message that names it, and exit 2.
foreach(unknown --no-such-option -Z)
  run_editor(${unknown})
  string(REGEX REPLACE "^-+" "" bare "${unknown}")
  string(FIND "${out}${err}" "${bare}" named_bare)
  if(NOT rc STREQUAL "2" OR named_bare EQUAL -1)
    fail("${unknown} exited with '${rc}' (expected 2) and printed '${out}${err}'")
  endif()
endforeach()

if(failures)
  message(FATAL_ERROR "command line and man page disagree:${failures}")
endif()
message(STATUS "long options in --help and in the man page: ${help_options}")

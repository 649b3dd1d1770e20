# SPDX-FileCopyrightText: 2026 The Merrow Editor developers <maintainers@merroweditor.org>
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the build into a scratch DESTDIR and checks the tree as a distribution would: every
# file in its place, the desktop entry and the metainfo valid, one application id and one
# version throughout, and the installed editor working from a folder unrelated to the build.
# Run by ctest; the -D inputs are listed in packaging/CMakeLists.txt.
cmake_minimum_required(VERSION 3.20)

set(failures "")
macro(fail text)
  string(APPEND failures "\n  - ${text}")
endmacro()

function(require_tool var name package)
  find_program(${var} ${name})
  if(NOT ${var})
    message(FATAL_ERROR "${name} is missing: install ${package} (scripts/setup does)")
  endif()
endfunction()
require_tool(DESKTOP_FILE_VALIDATE desktop-file-validate desktop-file-utils)
require_tool(APPSTREAMCLI appstreamcli appstream)

file(REMOVE_RECURSE "${WORK_DIR}")
set(destdir "${WORK_DIR}/root")
set(elsewhere "${WORK_DIR}/elsewhere")
file(MAKE_DIRECTORY "${elsewhere}/data-home")

set(install_args --install "${BUILD_DIR}")
if(CONFIG)
  list(APPEND install_args --config "${CONFIG}")
endif()
# cmake --install rewrites the build's install manifest; keep the one a real install left,
# which is what "xargs rm < install_manifest.txt" uninstalls.
set(manifest "${BUILD_DIR}/install_manifest.txt")
if(EXISTS "${manifest}")
  file(COPY_FILE "${manifest}" "${WORK_DIR}/install_manifest.txt")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env "DESTDIR=${destdir}" ${CMAKE_COMMAND} ${install_args}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(EXISTS "${WORK_DIR}/install_manifest.txt")
  file(COPY_FILE "${WORK_DIR}/install_manifest.txt" "${manifest}")
else()
  file(REMOVE "${manifest}")
endif()
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc}):\n${out}\n${err}")
endif()

# The installed location of a GNUInstallDirs folder (relative to the prefix unless absolute).
function(installed var dir)
  if(IS_ABSOLUTE "${dir}")
    set(${var} "${destdir}${dir}" PARENT_SCOPE)
  else()
    set(${var} "${destdir}${PREFIX}/${dir}" PARENT_SCOPE)
  endif()
endfunction()
installed(bindir "${BINDIR}")
installed(datadir "${DATADIR}")
installed(mandir "${MANDIR}")

set(editor "${bindir}/merrow-editor")
set(desktop "${datadir}/applications/${APP_ID}.desktop")
set(metainfo "${datadir}/metainfo/${APP_ID}.metainfo.xml")
set(mime "${datadir}/mime/packages/${APP_ID}.xml")
set(help_file "${datadir}/merrow-editor/Merrow_Editor_Help.chm")
set(icons "${datadir}/icons/hicolor")

foreach(file "${editor}" "${desktop}" "${metainfo}" "${mime}" "${help_file}"
        "${icons}/scalable/apps/${APP_ID}.svg" "${mandir}/man1/merrow-editor.1.gz"
        "${datadir}/doc/merrow-editor/copyright" "${datadir}/doc/merrow-editor/changelog.Debian.gz")
  if(NOT EXISTS "${file}")
    fail("not installed: ${file}")
  endif()
endforeach()

# The debug symbols belong to the debug symbols package alone.
if(EXISTS "${destdir}${PREFIX}/lib/debug")
  fail("a plain install put debug symbols into ${PREFIX}/lib/debug")
endif()

# Icon themes take a PNG's size from its folder; a picture of another size there is scaled or
# skipped, so read the size out of the PNG header.
foreach(size IN LISTS ICON_SIZES)
  set(png "${icons}/${size}x${size}/apps/${APP_ID}.png")
  if(NOT EXISTS "${png}")
    fail("not installed: ${png}")
    continue()
  endif()
  file(READ "${png}" header LIMIT 24 HEX)
  string(SUBSTRING "${header}" 0 16 signature)
  string(SUBSTRING "${header}" 32 8 width)
  string(SUBSTRING "${header}" 40 8 height)
  math(EXPR width "0x${width}")
  math(EXPR height "0x${height}")
  if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
    fail("${png} is not a ${size}x${size} PNG (${width}x${height})")
  endif()
endforeach()

# The validators distributions run. The desktop entry must pass without even a hint.
execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} "${desktop}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT "${out}${err}" STREQUAL "")
  fail("desktop-file-validate (${rc}):\n${out}${err}")
endif()
execute_process(COMMAND ${APPSTREAMCLI} validate --no-net "${metainfo}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "appstreamcli validate --no-net:\n${out}${err}")
if(NOT rc EQUAL 0)
  fail("appstreamcli validate --no-net (${rc}):\n${out}${err}")
endif()

# shared-mime-info compiles the MIME package the way the system's trigger will; a type that
# does not come out of it would leave the desktop entry's MimeType pointing at nothing.
find_program(UPDATE_MIME_DATABASE update-mime-database)
if(UPDATE_MIME_DATABASE AND EXISTS "${mime}")
  file(COPY "${mime}" DESTINATION "${WORK_DIR}/mime/packages")
  # In XDG_DATA_DIRS, or the tool adds a note that the folder is not searched.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env "XDG_DATA_DIRS=${WORK_DIR}"
                          ${UPDATE_MIME_DATABASE} "${WORK_DIR}/mime"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT "${out}${err}" STREQUAL "" OR NOT EXISTS "${WORK_DIR}/mime/${MIME_TYPE}.xml")
    fail("update-mime-database does not define ${MIME_TYPE} (${rc}): ${out}${err}")
  else()
    file(READ "${WORK_DIR}/mime/globs2" globs)
    if(NOT globs MATCHES ":${MIME_TYPE}:description\\.ext")
      fail("${MIME_TYPE} does not claim description.ext: ${globs}")
    endif()
  endif()
else()
  message(STATUS "update-mime-database not found: the MIME package is not compiled")
endif()

# One id and one version everywhere: a rename or a version bump that misses a file breaks the
# link between menu entry, icon, software centre and package without any validator noticing.
if(EXISTS "${desktop}")
  file(READ "${desktop}" entry)
  if(NOT entry MATCHES "\nIcon=${APP_ID}\n")
    fail("the desktop entry's Icon is not ${APP_ID}")
  endif()
  if(NOT entry MATCHES "\nExec=merrow-editor( [^\n]*)?\n")
    fail("the desktop entry does not start merrow-editor")
  endif()
  if(NOT entry MATCHES "\nMimeType=([^;\n]*;)*${MIME_TYPE};")
    fail("the desktop entry does not open ${MIME_TYPE}")
  endif()
endif()
if(EXISTS "${metainfo}")
  file(READ "${metainfo}" xml)
  foreach(expected "<id>${APP_ID}</id>" "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
          "<binary>merrow-editor</binary>" "<mediatype>${MIME_TYPE}</mediatype>")
    string(FIND "${xml}" "${expected}" at)
    if(at EQUAL -1)
      fail("the metainfo lacks ${expected}")
    endif()
  endforeach()
  # Releases are listed newest first; the first one must be this version.
  if(NOT xml MATCHES "<release version=\"([^\"]*)\"" OR NOT CMAKE_MATCH_1 STREQUAL VERSION)
    fail("the metainfo's newest release is '${CMAKE_MATCH_1}', the project is ${VERSION}")
  endif()
endif()
file(READ "${SOURCE_DIR}/merrow-editor.1" man)
if(NOT man MATCHES "\n\\.TH [^\n]*\"Merrow Editor ${VERSION}\"")
  fail("the man page's .TH line does not name Merrow Editor ${VERSION}")
endif()
file(READ "${SOURCE_DIR}/../help/licence.htm" licence_page)
if(NOT licence_page MATCHES "describes Merrow Editor ${VERSION}\\.")
  fail("help/licence.htm does not say that it describes Merrow Editor ${VERSION}")
endif()
file(STRINGS "${SOURCE_DIR}/debian/changelog" changelog LIMIT_COUNT 1)
if(NOT changelog MATCHES "^merrow-editor \\(${VERSION}-${DEBIAN_RELEASE}\\) ")
  fail("the Debian changelog's newest entry is not ${VERSION}-${DEBIAN_RELEASE}: ${changelog}")
endif()

# The installed editor itself: the version without any display, and the help file found from
# an unrelated current folder, as when it is started from the application menu.
if(EXISTS "${editor}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
            "${editor}" --version
    WORKING_DIRECTORY "${elsewhere}" TIMEOUT 30
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX MATCH "^[^\n]*" out "${out}")
  if(NOT rc STREQUAL "0" OR NOT out STREQUAL "merrow-editor ${VERSION}")
    fail("installed --version printed '${out}' and exited '${rc}': ${err}")
  endif()

  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen "XDG_DATA_DIRS=${datadir}"
            "XDG_DATA_HOME=${elsewhere}/data-home" "${editor}" --locate-help
    WORKING_DIRECTORY "${elsewhere}" TIMEOUT 30
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(STRIP "${out}" out)
  string(REGEX REPLACE "^.*\n" "" located "${out}")
  if(located AND EXISTS "${located}")
    file(REAL_PATH "${located}" located)
  endif()
  if(EXISTS "${help_file}")
    file(REAL_PATH "${help_file}" help_file)
  endif()
  if(NOT rc STREQUAL "0" OR NOT located STREQUAL help_file)
    fail("installed --locate-help exited '${rc}' and named '${located}', expected ${help_file}:\n${out}\n${err}")
  endif()
endif()

if(failures)
  message(FATAL_ERROR "the installed tree in ${destdir} is not right:${failures}")
endif()
message(STATUS "installed and checked: ${destdir}")

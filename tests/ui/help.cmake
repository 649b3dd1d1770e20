# The help window's test reads a small help file compiled from tests/ui/data/help.
find_program(CHMCMD chmcmd)
if(NOT CHMCMD)
  message(WARNING "chmcmd not found: the help window's test is not built")
  return()
endif()

set(HELP_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR}/data/help)
set(HELP_BUILD_DIR ${CMAKE_CURRENT_BINARY_DIR}/help-data)
set(HELP_TEST_FILE ${HELP_BUILD_DIR}/Merrow_Editor_Help.chm)
set(HELP_NO_DEFAULT_FILE ${HELP_BUILD_DIR}/NoDefault.chm)
file(GLOB_RECURSE HELP_SOURCES CONFIGURE_DEPENDS ${HELP_SOURCE_DIR}/*)

# chmcmd writes next to the project, so it works on a copy in the build tree.
add_custom_command(
  OUTPUT ${HELP_TEST_FILE} ${HELP_NO_DEFAULT_FILE}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${HELP_SOURCE_DIR} ${HELP_BUILD_DIR}
  COMMAND ${CMAKE_COMMAND} -E chdir ${HELP_BUILD_DIR} ${CHMCMD} --no-html-scan help.hhp
  COMMAND ${CMAKE_COMMAND} -E chdir ${HELP_BUILD_DIR} ${CHMCMD} --no-html-scan nodefault.hhp
  DEPENDS ${HELP_SOURCES}
  COMMENT "Compiling the test help file"
  VERBATIM)
add_custom_target(tst_helpwindow_data DEPENDS ${HELP_TEST_FILE} ${HELP_NO_DEFAULT_FILE})

merrow_add_test(tst_helpwindow SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_helpwindow.cpp LIBS merrow_ui)
# Help files are read by the editor's executable in a mode of its own. The shipped help file
# (merrow-help places it beside the editor) is opened in the window too: all its topics and links.
add_dependencies(tst_helpwindow tst_helpwindow_data merrow-editor merrow-help)
target_compile_definitions(tst_helpwindow PRIVATE
  HELP_TEST_FILE="${HELP_TEST_FILE}" HELP_NO_DEFAULT_FILE="${HELP_NO_DEFAULT_FILE}"
  HELP_SOURCE_DIR="${HELP_SOURCE_DIR}"
  HELP_SHIPPED_FILE="$<TARGET_FILE_DIR:merrow-editor>/Merrow_Editor_Help.chm"
  MERROW_EDITOR_PATH="$<TARGET_FILE:merrow-editor>")

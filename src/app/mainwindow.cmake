# The main window: its form, the switch rules and the artwork it shows.
target_sources(merrow_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/mainwindow.h ${CMAKE_CURRENT_LIST_DIR}/mainwindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/maincommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mainwindow.ui
  ${CMAKE_CURRENT_LIST_DIR}/../../resources/merrow.qrc)

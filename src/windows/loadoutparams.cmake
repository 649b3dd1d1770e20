# The loadout and MP parameters dialogs.
target_sources(merrow_windows PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/addloadout.ui
  ${CMAKE_CURRENT_LIST_DIR}/addloadout.h
  ${CMAKE_CURRENT_LIST_DIR}/addloadout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/addmpparams.ui
  ${CMAKE_CURRENT_LIST_DIR}/addmpparams.h
  ${CMAKE_CURRENT_LIST_DIR}/addmpparams.cpp
)

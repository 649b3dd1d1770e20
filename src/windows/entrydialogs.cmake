# The entry-dialog base and the identity, radio, sound and music dialogs.
target_sources(merrow_windows PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/entrydialog.h
  ${CMAKE_CURRENT_LIST_DIR}/entrydialog.cpp
)

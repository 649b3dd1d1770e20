# The entry-dialog base and the identity, radio, sound and music dialogs.
target_sources(merrow_windows PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/entrydialog.h
  ${CMAKE_CURRENT_LIST_DIR}/entrydialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/addidentity.ui
  ${CMAKE_CURRENT_LIST_DIR}/addidentity.h
  ${CMAKE_CURRENT_LIST_DIR}/addidentity.cpp
  ${CMAKE_CURRENT_LIST_DIR}/addradio.ui
  ${CMAKE_CURRENT_LIST_DIR}/addradio.h
  ${CMAKE_CURRENT_LIST_DIR}/addradio.cpp
  ${CMAKE_CURRENT_LIST_DIR}/addsound.ui
  ${CMAKE_CURRENT_LIST_DIR}/addsound.h
  ${CMAKE_CURRENT_LIST_DIR}/addsound.cpp
  ${CMAKE_CURRENT_LIST_DIR}/addmusic.ui
  ${CMAKE_CURRENT_LIST_DIR}/addmusic.h
  ${CMAKE_CURRENT_LIST_DIR}/addmusic.cpp
)

# The preview and save window.
target_sources(merrow_windows PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/savepreview.h
  ${CMAKE_CURRENT_LIST_DIR}/savepreview.cpp
  ${CMAKE_CURRENT_LIST_DIR}/savepreview.ui
)

# The about box.
target_sources(merrow_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/about.h
  ${CMAKE_CURRENT_LIST_DIR}/about.cpp
  ${CMAKE_CURRENT_LIST_DIR}/about.ui
)

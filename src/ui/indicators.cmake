# Status-bar key indicators and the system colours of text fields.
target_sources(merrow_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/keyindicators.h ${CMAKE_CURRENT_LIST_DIR}/keyindicators.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xkbstate.h ${CMAKE_CURRENT_LIST_DIR}/xkbstate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/systemcolours.h ${CMAKE_CURRENT_LIST_DIR}/systemcolours.cpp)

# NUM and CAPS are read from the X server's keyboard extension when libX11 is there.
find_package(X11)
if(X11_FOUND AND X11_Xkb_FOUND)
  target_compile_definitions(merrow_ui PRIVATE MERROW_HAVE_XKB)
  target_include_directories(merrow_ui PRIVATE ${X11_INCLUDE_DIR})
  target_link_libraries(merrow_ui PUBLIC X11::X11)
endif()

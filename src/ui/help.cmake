# The help window reads the compiled help file with chmlib.
find_library(CHM_LIB chm REQUIRED)
find_path(CHM_INCLUDE_DIR chm_lib.h REQUIRED)
target_sources(merrow_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/helpwindow.h ${CMAKE_CURRENT_LIST_DIR}/helpwindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/helpcontent.h ${CMAKE_CURRENT_LIST_DIR}/helpcontent.cpp
  ${CMAKE_CURRENT_LIST_DIR}/helphtml.h ${CMAKE_CURRENT_LIST_DIR}/helphtml.cpp
  ${CMAKE_CURRENT_LIST_DIR}/helpsitemap.h ${CMAKE_CURRENT_LIST_DIR}/helpsitemap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/helpsearch.h ${CMAKE_CURRENT_LIST_DIR}/helpsearch.cpp)
include(GNUInstallDirs)
# The installed data folder, where the help file is looked for last.
target_compile_definitions(merrow_ui PRIVATE
  MERROW_DATA_DIR="${CMAKE_INSTALL_FULL_DATADIR}/merrow-editor")
target_include_directories(merrow_ui PRIVATE ${CHM_INCLUDE_DIR})
target_link_libraries(merrow_ui PRIVATE ${CHM_LIB})

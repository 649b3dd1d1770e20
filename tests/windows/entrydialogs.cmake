# One test class per entry dialog.
foreach(dialog addidentity addradio addsound addmusic)
  if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/tst_${dialog}.cpp)
    merrow_add_test(tst_${dialog} SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_${dialog}.cpp LIBS merrow_windows merrow_testsupport)
  endif()
endforeach()

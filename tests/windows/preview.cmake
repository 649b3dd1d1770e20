merrow_add_test(tst_savepreview SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_savepreview.cpp LIBS merrow_windows merrow_testsupport)

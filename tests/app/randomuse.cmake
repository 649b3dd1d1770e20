merrow_add_test(tst_randomuse SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_randomuse.cpp LIBS merrow_app merrow_testsupport)

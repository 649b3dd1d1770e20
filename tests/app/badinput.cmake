merrow_add_test(tst_badinput SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_badinput.cpp LIBS merrow_app merrow_testsupport)

merrow_add_test(tst_about SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_about.cpp LIBS merrow_app merrow_testsupport)

merrow_add_test(tst_main SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_main.cpp LIBS merrow_app merrow_testsupport)
merrow_add_test(tst_maincommands SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_maincommands.cpp LIBS merrow_app merrow_testsupport)

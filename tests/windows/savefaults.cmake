# Drives the real main window, so it links the application library.
merrow_add_test(tst_savefaults SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_savefaults.cpp LIBS merrow_app merrow_testsupport)

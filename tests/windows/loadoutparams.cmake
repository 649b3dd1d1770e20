# The loadout and MP parameters dialogs.
merrow_add_test(tst_addloadout SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_addloadout.cpp LIBS merrow_windows merrow_testsupport)
merrow_add_test(tst_addmpparams SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_addmpparams.cpp LIBS merrow_windows merrow_testsupport)

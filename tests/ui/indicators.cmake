merrow_add_test(tst_keyindicators SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_keyindicators.cpp LIBS merrow_ui)

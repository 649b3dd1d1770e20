merrow_add_test(tst_entries SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_entries.cpp LIBS merrow_document)

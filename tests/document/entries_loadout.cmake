merrow_add_test(tst_entries_loadout SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_entries_loadout.cpp
  LIBS merrow_document)

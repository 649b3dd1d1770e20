# Entry texts of the loadout and MP parameters dialogs.
target_sources(merrow_document PRIVATE ${CMAKE_CURRENT_LIST_DIR}/entries_loadout.cpp)

#The entry texts of the identity, radio, sound and music dialogs.
target_sources(merrow_document PRIVATE ${CMAKE_CURRENT_LIST_DIR} /
               entries.h ${CMAKE_CURRENT_LIST_DIR} / entries.cpp)

# The loadout and MP-parameter entries live beside these, in their own file.
include(${CMAKE_CURRENT_LIST_DIR}/entries_loadout.cmake OPTIONAL)

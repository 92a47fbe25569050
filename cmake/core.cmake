# The game's core, alike in every build (the desktop's, the tests', the
# page's): the game, its engine, the seam's own part and the file layer
# every machine shares, and the flags some of them need. The backends and
# what only one machine has (libpng, zlib, the scaler) are apart.
file(GLOB QUILLMOOR_CORE_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/engine/*.cpp ${PROJECT_SOURCE_DIR}/platform/*.cpp ${PROJECT_SOURCE_DIR}/platform/files/*.cpp
  ${PROJECT_SOURCE_DIR}/replay/*.cpp ${PROJECT_SOURCE_DIR}/base/*.cpp ${PROJECT_SOURCE_DIR}/shell/*.cpp
  ${PROJECT_SOURCE_DIR}/ui/*.cpp ${PROJECT_SOURCE_DIR}/overworld/*.cpp ${PROJECT_SOURCE_DIR}/areas/*.cpp
  ${PROJECT_SOURCE_DIR}/creatures/*.cpp)
list(REMOVE_ITEM QUILLMOOR_CORE_SOURCES ${PROJECT_SOURCE_DIR}/shell/main.cpp)
# The one version number, from project(); an installed copy keeps the
# player's files in the player's data folder.
set_source_files_properties(${PROJECT_SOURCE_DIR}/shell/command_line.cpp PROPERTIES COMPILE_DEFINITIONS
  "QUILLMOOR_VERSION=\"${PROJECT_VERSION}\";$<$<BOOL:${QUILLMOOR_PLAYER_DATA}>:QUILLMOOR_PLAYER_DATA>")

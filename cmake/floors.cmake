# The game's floors, alike in every build (the desktop's, the tests', the
# page's). Each floor is a library that sees the headers of the floors under
# it and its own, and nothing else: an include that runs up a floor, or
# into another floor's insides, does not compile. What each may see is its
# view, a folder of links to just those headers (under floors/ in the
# build); no floor sees the project's root.
#
#   ground     engine/ media/           the portable ground: nothing but itself
#   seam       platform/ platform/files/  the ground and itself
#   <backend>  platform/<machine>/     the ground, the seam's own headers (not
#                                      its file layer), itself
#   replay     replay/                 engine/, the seam's doors for machines
#   base       base/                   engine/, platform.h (the game's door)
#   game       ui/ overworld/ areas/ creatures/   and base/
#   shell      shell/                  the game, machine.h and the replay's door
#
# Before including this, set EMBEDDED_CPP (the built-in files, part of the
# seam); afterwards a build adds its backend (quillmoor_view and
# quillmoor_backend) and links its program to quillmoor_shell.
# A floor's sources: every .cpp of the folders named.
function(quillmoor_sources var)
  set(sources "")
  foreach(folder ${ARGN})
    file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  list(SORT sources)
  set(${var} ${sources} PARENT_SCOPE)
endfunction()

# The seam's doors: what the game asks of a machine (platform.h), and what
# machines, backends and what starts the game are made of.
set(SEAM_DOORS platform/platform.h platform/machine.h platform/backend.h platform/codec.h platform/journal.h
  platform/keytable.h platform/picture.h platform/quiet.h)
quillmoor_view(seam engine platform platform/files)
quillmoor_view(replay engine platform/platform.h platform/machine.h platform/codec.h platform/journal.h
  platform/quiet.h replay)
quillmoor_view(base engine platform/platform.h base)
quillmoor_view(game engine platform/platform.h base ui overworld areas creatures)
quillmoor_view(shell engine platform/platform.h platform/machine.h base ui overworld areas creatures
  replay/replay.h shell)

function(quillmoor_floor target view)
  add_library(${target} STATIC ${ARGN})
  target_include_directories(${target} PRIVATE ${QUILLMOOR_VIEWS}/${view})
endfunction()

quillmoor_sources(ENGINE_SOURCES engine)
if(EMSCRIPTEN)
  # No AVX2 in WebAssembly; the SSE2 drawing loops become WebAssembly SIMD.
  list(REMOVE_ITEM ENGINE_SOURCES ${PROJECT_SOURCE_DIR}/engine/blit_avx2.cpp)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/engine/blit_sse2.cpp PROPERTIES COMPILE_OPTIONS "-msimd128;-msse2")
else()
  # Only these loops are built for AVX2; they run only where the processor has it.
  set_source_files_properties(${PROJECT_SOURCE_DIR}/engine/blit_avx2.cpp PROPERTIES COMPILE_OPTIONS -mavx2)
endif()
quillmoor_floor(quillmoor_engine ground ${ENGINE_SOURCES})

# The disk's own calls, for the kind of system built for.
if(WIN32)
  set(QUILLMOOR_DISK windows)
else()
  set(QUILLMOOR_DISK posix)
endif()
quillmoor_sources(SEAM_SOURCES platform platform/files platform/files/${QUILLMOOR_DISK})
quillmoor_floor(quillmoor_seam seam ${SEAM_SOURCES} ${EMBEDDED_CPP})
target_link_libraries(quillmoor_seam PUBLIC quillmoor_engine)

quillmoor_sources(REPLAY_SOURCES replay)
quillmoor_floor(quillmoor_replay replay ${REPLAY_SOURCES})
target_link_libraries(quillmoor_replay PUBLIC quillmoor_seam)

quillmoor_sources(BASE_SOURCES base)
quillmoor_floor(quillmoor_base base ${BASE_SOURCES})
target_link_libraries(quillmoor_base PUBLIC quillmoor_seam)

quillmoor_sources(GAME_SOURCES ui overworld areas creatures)
quillmoor_floor(quillmoor_game game ${GAME_SOURCES})
target_link_libraries(quillmoor_game PUBLIC quillmoor_base)

quillmoor_sources(SHELL_SOURCES shell)
list(REMOVE_ITEM SHELL_SOURCES ${PROJECT_SOURCE_DIR}/shell/main.cpp)
quillmoor_floor(quillmoor_shell shell ${SHELL_SOURCES})
target_link_libraries(quillmoor_shell PUBLIC quillmoor_game quillmoor_replay)
# The one version number, from project(); an installed copy keeps the
# player's files in the player's data folder.
set_source_files_properties(${PROJECT_SOURCE_DIR}/shell/command_line.cpp PROPERTIES COMPILE_DEFINITIONS
  "QUILLMOOR_VERSION=\"${PROJECT_VERSION}\";$<$<BOOL:${QUILLMOOR_PLAYER_DATA}>:QUILLMOOR_PLAYER_DATA>")

# A backend: its view (the ground, the seam's doors, its own folder) and its
# objects, linked straight into the program it runs; with it, the parts it
# shares with other backends (platform/parts/: zlib, pictures decoded by
# libpng or ahead of time).
function(quillmoor_backend target folder)
  quillmoor_view(${target} engine media ${SEAM_DOORS} ${folder})
  add_library(${target} OBJECT ${ARGN})
  target_include_directories(${target} PRIVATE ${QUILLMOOR_VIEWS}/${target})
  target_link_libraries(${target} PUBLIC quillmoor_shell)
endfunction()

# The program: the shell's main on a backend.
function(quillmoor_program target backend)
  add_executable(${target} ${PROJECT_SOURCE_DIR}/shell/main.cpp ${ARGN})
  target_include_directories(${target} PRIVATE ${QUILLMOOR_VIEWS}/shell)
  target_link_libraries(${target} PRIVATE ${backend})
endfunction()

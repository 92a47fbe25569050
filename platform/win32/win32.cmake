# The Windows build, made on Debian with mingw-w64 (cmake/mingw-w64.cmake;
# tools/windows.sh): the same game on a backend of its own, with no SDL and
# no libpng. The pictures come decoded ahead by tools built for this
# machine first (QUILLMOOR_HOST_TOOLS), as the page's do; the sounds come as
# the desktop's WAV files; zlib is Debian's build of it for mingw-w64.
include(cmake/host_tools.cmake)
# Linked in whole: the program needs no zlib DLL beside it.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

file(GLOB QUILLMOOR_ASSETS CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/assets/gfx/*.png
  ${PROJECT_SOURCE_DIR}/assets/sfx/*.wav)
list(SORT QUILLMOOR_ASSETS)
set(QUILLMOOR_PICTURES ${QUILLMOOR_ASSETS})
list(FILTER QUILLMOOR_PICTURES INCLUDE REGEX "\\.png$")
set(EMBEDDED_CPP ${CMAKE_CURRENT_BINARY_DIR}/embedded_files.cpp)
quillmoor_embed(${EMBEDDED_CPP} ${PROJECT_SOURCE_DIR}/assets "Embedding pictures and sounds" ${QUILLMOOR_ASSETS})
set(DECODED_CPP ${CMAKE_CURRENT_BINARY_DIR}/decoded_pictures.cpp)
quillmoor_decode_pictures(${DECODED_CPP} ${QUILLMOOR_PICTURES})
add_custom_target(decoded_pictures DEPENDS ${DECODED_CPP})

# The player's files are kept in %APPDATA%\Quillmoor, for the installed and
# the unpacked game alike.
set(QUILLMOOR_PLAYER_DATA ON CACHE BOOL "" FORCE)
# Windows 10 and later: the calls that know each monitor's scaling.
add_compile_definitions(_WIN32_WINNT=0x0A00 WINVER=0x0A00 UNICODE _UNICODE)
include(cmake/floors.cmake)
set(QUILLMOOR_WINDOWS_PARTS ${PROJECT_SOURCE_DIR}/platform/parts/picture_decoded.cpp
  ${PROJECT_SOURCE_DIR}/platform/parts/deflate_zlib.cpp ${DECODED_CPP})

# The real machine: its window, keys, sounds and clock, no SDL.
quillmoor_sources(QUILLMOOR_WIN32_SOURCES platform/win32)
quillmoor_backend(quillmoor_win32 platform/win32 ${QUILLMOOR_WIN32_SOURCES} ${QUILLMOOR_WINDOWS_PARTS})
target_link_libraries(quillmoor_win32 PUBLIC ZLIB::ZLIB gdi32 winmm dwmapi shell32 ole32)

# The program's icon (the head of the player's marker at the sizes Windows
# shows), its manifest and its version, as resources inside it.
enable_language(RC)
set(QUILLMOOR_ICO ${CMAKE_CURRENT_BINARY_DIR}/quillmoor.ico)
add_custom_command(
  OUTPUT ${QUILLMOOR_ICO}
  COMMAND ${QUILLMOOR_HOST_TOOLS}/appicon ${PROJECT_SOURCE_DIR}/assets/gfx/playericon.png 16,20,24,32,40,48,64,256
          ${QUILLMOOR_ICO}
  DEPENDS ${PROJECT_SOURCE_DIR}/assets/gfx/playericon.png
  COMMENT "Making the program's icon")
set(QUILLMOOR_FILE_VERSION ${PROJECT_VERSION}.0)
string(REPLACE "." "," QUILLMOOR_VERSION_COMMAS ${QUILLMOOR_FILE_VERSION})
set(QUILLMOOR_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/quillmoor.manifest)
configure_file(${PROJECT_SOURCE_DIR}/platform/win32/quillmoor.manifest ${QUILLMOOR_MANIFEST} @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/platform/win32/quillmoor.rc.in ${CMAKE_CURRENT_BINARY_DIR}/quillmoor.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/quillmoor.rc PROPERTIES
  OBJECT_DEPENDS "${QUILLMOOR_ICO};${QUILLMOOR_MANIFEST}")
quillmoor_program(quillmoor quillmoor_win32 ${CMAKE_CURRENT_BINARY_DIR}/quillmoor.rc)
# A window of its own, no console; --help and --verify find the one they
# were started from (backend_win32.cpp).
target_link_options(quillmoor PRIVATE -mwindows)

include(platform/win32/package.cmake)

# What presenting a frame costs this machine (compared with bench/present.sh).
add_executable(present_win32_bench bench/present_win32.cpp)
target_include_directories(present_win32_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(present_win32_bench PRIVATE quillmoor_win32)
target_link_options(present_win32_bench PRIVATE -mwindows)

# The test machine, as on Linux: the suite runs under wine.
quillmoor_backend(quillmoor_headless platform/headless platform/headless/backend_headless.cpp
  platform/headless/filefaults.cpp ${QUILLMOOR_WINDOWS_PARTS})
target_link_libraries(quillmoor_headless PUBLIC ZLIB::ZLIB)
target_include_directories(quillmoor_headless INTERFACE ${PROJECT_SOURCE_DIR})

enable_testing()
if(QUILLMOOR_TESTS)
  # GoogleTest built here for Windows, from Debian's own sources of it.
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_subdirectory(tests)
endif()

# The browser's build: the same game with the web backend, compiled to
# WebAssembly by Emscripten. No libpng there: the pictures come decoded
# ahead by tools built for this machine first (QUILLMOOR_HOST_TOOLS;
# tools/web.sh builds them). The sounds come as their synthesis settings,
# made into samples at load: a few kilobytes instead of six hundred.
include(cmake/host_tools.cmake)

file(GLOB WEB_PICTURES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/gfx/*.png)
file(GLOB WEB_SOUNDS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/art/sfx/*.sfx)
list(SORT WEB_PICTURES)
list(SORT WEB_SOUNDS)
set(EMBEDDED_CPP ${CMAKE_CURRENT_BINARY_DIR}/embedded_files.cpp)
quillmoor_embed(${EMBEDDED_CPP} ${PROJECT_SOURCE_DIR}/art "Embedding the sounds' settings" ${WEB_SOUNDS})
set(DECODED_CPP ${CMAKE_CURRENT_BINARY_DIR}/decoded_pictures.cpp)
quillmoor_decode_pictures(${DECODED_CPP} ${WEB_PICTURES})

# Built for size: the page is downloaded by every new player, and a frame
# costs a fraction of a millisecond either way (bench/web_frames.mjs).
add_compile_options(-Os)
add_link_options(-Os)
include(cmake/media.cmake)
# The game, floor by floor, on the page's own machine.
include(cmake/floors.cmake)
quillmoor_sources(QUILLMOOR_WEB_SOURCES platform/web)
quillmoor_backend(quillmoor_web platform/web ${QUILLMOOR_WEB_SOURCES} ${PROJECT_SOURCE_DIR}/platform/parts/picture_decoded.cpp
  ${DECODED_CPP})
target_link_libraries(quillmoor_web PUBLIC quillmoor_synth)

# What the game's code carries ahead of it, each bundled by esbuild with the
# contract between the page and the game (contract.js) from platform/web's
# own packages (tools/setup.sh installs them): the saves' storage and lock
# (saves.js), and the replay's zlib with the two functions it takes from its
# library (codec.js). (Bundled into a folder of their own: they are no files
# the page serves.)
set(WEB_SOURCE ${PROJECT_SOURCE_DIR}/platform/web)
set(ESBUILD ${WEB_SOURCE}/node_modules/.bin/esbuild)
set(PRE_JS)
foreach(name saves codec)
  set(bundle ${CMAKE_CURRENT_BINARY_DIR}/pre/${name}.js)
  add_custom_command(
    OUTPUT ${bundle}
    COMMAND ${ESBUILD} ${WEB_SOURCE}/${name}.js
            --bundle --format=iife --target=es2020 --minify --log-level=warning --outfile=${bundle}
    DEPENDS ${WEB_SOURCE}/${name}.js ${WEB_SOURCE}/contract.js ${WEB_SOURCE}/package-lock.json
    COMMENT "Bundling ${name}.js ahead of the game's code")
  list(APPEND PRE_JS ${bundle})
endforeach()
add_custom_target(pre_js DEPENDS ${PRE_JS})

# The program, with what the page's "Save replay" asks the game. The page's
# backend is a file a job (web.h says which), with its JavaScript in a
# library of Emscripten's kind (library_web.js).
set(WEB_LIBRARY ${WEB_SOURCE}/library_web.js)
quillmoor_program(quillmoor quillmoor_web ${PROJECT_SOURCE_DIR}/shell/web/page_replay.cpp)
add_dependencies(quillmoor pre_js)
# The game's nested loops stay as they are: ASYNCIFY lets each Flip yield to
# the browser and carry on (WebNextFrame is the library's one import that
# waits so), and each save wait for the browser's storage. The saves are
# read into memory before start-up (saves.js).
list(TRANSFORM PRE_JS PREPEND "SHELL:--pre-js " OUTPUT_VARIABLE PRE_JS_OPTIONS)
target_link_options(quillmoor PRIVATE
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536 -sASYNCIFY_IMPORTS=WebNextFrame
  -sALLOW_MEMORY_GROWTH=1 -sFORCE_FILESYSTEM=1 -sENVIRONMENT=web
  "SHELL:--js-library ${WEB_LIBRARY}" ${PRE_JS_OPTIONS})
set_target_properties(quillmoor PROPERTIES SUFFIX ".js" LINK_DEPENDS "${WEB_LIBRARY};${PRE_JS}")

# The page's own script, one job a file (page.js starts the game and brings
# contract.js, layout.js, touch.js, status.js, notice.js, sound.js and
# watch.js along), bundled by esbuild and put inside index.html, so the page
# asks for nothing more before the game's own files.
# (Bundled into a folder of its own: it is no file the page serves.)
set(PAGE_JS ${CMAKE_CURRENT_BINARY_DIR}/inline/page.js)
set(PAGE_SOURCES ${WEB_SOURCE}/page.js ${WEB_SOURCE}/contract.js ${WEB_SOURCE}/layout.js ${WEB_SOURCE}/touch.js
  ${WEB_SOURCE}/status.js ${WEB_SOURCE}/notice.js ${WEB_SOURCE}/sound.js ${WEB_SOURCE}/watch.js)
add_custom_command(
  OUTPUT ${PAGE_JS}
  COMMAND ${ESBUILD} ${WEB_SOURCE}/page.js
          --bundle --format=iife --target=es2020 --minify --log-level=warning --outfile=${PAGE_JS}
  DEPENDS ${PAGE_SOURCES} ${WEB_SOURCE}/package-lock.json
  COMMENT "Bundling the page's script")
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/index.html
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${WEB_SOURCE}/index.html -DSCRIPT=${PAGE_JS}
          -DOUT=${CMAKE_CURRENT_BINARY_DIR}/index.html -P ${WEB_SOURCE}/inline_page.cmake
  DEPENDS ${WEB_SOURCE}/index.html ${PAGE_JS} ${WEB_SOURCE}/inline_page.cmake
  COMMENT "Putting the page's script in the page"
  VERBATIM)
add_custom_target(web_page ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/index.html)

# The page's controls under the game: the backup controls with their
# archive and its zip library, and "Save replay" (replay.js, which backup.js
# brings along), in one file, bundled by esbuild from platform/web's own
# packages.
set(BACKUP_JS ${CMAKE_CURRENT_BINARY_DIR}/backup.js)
add_custom_command(
  OUTPUT ${BACKUP_JS}
  COMMAND ${ESBUILD} ${WEB_SOURCE}/backup.js
          --bundle --format=iife --target=es2020 --minify --log-level=warning --outfile=${BACKUP_JS}
  DEPENDS ${WEB_SOURCE}/backup.js ${WEB_SOURCE}/archive.js ${WEB_SOURCE}/replay.js ${WEB_SOURCE}/contract.js
          ${WEB_SOURCE}/package-lock.json
  COMMENT "Bundling the page's controls")
add_custom_target(backup_js ALL DEPENDS ${BACKUP_JS})

# Offline and installable: the manifest with the game's icon, and the icon
# a phone's home screen asks for by a link of its own (180).
set(WEB_ICONS)
foreach(size 180 192 512)
  set(icon ${CMAKE_CURRENT_BINARY_DIR}/icon-${size}.png)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${QUILLMOOR_HOST_TOOLS}/appicon ${PROJECT_SOURCE_DIR}/assets/gfx/playericon.png ${size} ${icon}
    DEPENDS ${PROJECT_SOURCE_DIR}/assets/gfx/playericon.png
    COMMENT "The page's icon at ${size}")
  list(APPEND WEB_ICONS ${icon})
endforeach()

# The page as a host serves it: every file a player's browser asks for, by
# its name in this folder. This list is the only one: the service worker
# keeps these files (stamped into sw.js below), and `cmake --install` and the
# release zip (cpack, tools/web.sh --release) carry them with sw.js. Those
# named in WEB_PAGE_COPIED are copied from platform/web as they are; the
# others (index.html with its script put in among them) are made above.
set(WEB_PAGE_COPIED manifest.webmanifest)
set(WEB_PAGE index.html ${WEB_PAGE_COPIED} quillmoor.js quillmoor.wasm backup.js icon-180.png icon-192.png
  icon-512.png)

foreach(name IN LISTS WEB_PAGE_COPIED)
  configure_file(platform/web/${name} ${CMAKE_CURRENT_BINARY_DIR}/${name} COPYONLY)
endforeach()
list(TRANSFORM WEB_PAGE PREPEND ${CMAKE_CURRENT_BINARY_DIR}/ OUTPUT_VARIABLE WEB_PAGE_PATHS)
# The game's link makes quillmoor.js and quillmoor.wasm: the worker depends
# on the target for them.
set(WEB_PAGE_MADE ${WEB_PAGE_PATHS})
list(FILTER WEB_PAGE_MADE EXCLUDE REGEX "/quillmoor\\.(js|wasm)$")

# The service worker, stamped with the list of the files it keeps and the
# digest of their contents, so every build that changes them gives the
# browser a new worker to install.
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/sw.js
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PROJECT_SOURCE_DIR}/platform/web/sw.js -DOUT=${CMAKE_CURRENT_BINARY_DIR}/sw.js
          "-DFILES=${WEB_PAGE_PATHS}" -P ${PROJECT_SOURCE_DIR}/platform/web/stamp_worker.cmake
  DEPENDS quillmoor ${WEB_PAGE_MADE}
          ${PROJECT_SOURCE_DIR}/platform/web/sw.js ${PROJECT_SOURCE_DIR}/platform/web/stamp_worker.cmake
  COMMENT "Stamping the page's service worker"
  VERBATIM)
add_custom_target(web_worker ALL DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/sw.js)

# The page's files, for the benchmarks and anyone who wants to know what a
# new player downloads: one name a line.
list(JOIN WEB_PAGE "\n" names)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/page-files.txt "${names}\nsw.js\n")

# Installed, and zipped as the page's release, with relative paths only:
# unpacked on any static host, or at the root of an upload folder, it plays
# as it is.
install(FILES ${WEB_PAGE_PATHS} ${CMAKE_CURRENT_BINARY_DIR}/sw.js DESTINATION .)
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME quillmoor-web)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME quillmoor-web-${PROJECT_VERSION})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/dist)
include(CPack)

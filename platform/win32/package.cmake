# What the Windows game is made of for players (tools/windows.sh): the
# program with a README and the licence, zipped to be unpacked anywhere, and
# an installer made by NSIS (amd64: Program Files, a Start menu shortcut, an
# entry under installed apps with the icon and the version; uninstalling
# leaves the player's files, which are kept in %APPDATA%\Quillmoor).
install(TARGETS quillmoor RUNTIME DESTINATION .)
configure_file(${PROJECT_SOURCE_DIR}/platform/win32/README.txt ${CMAKE_CURRENT_BINARY_DIR}/README.txt @ONLY
  NEWLINE_STYLE CRLF)
configure_file(${PROJECT_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt COPYONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/README.txt ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt DESTINATION .)

set(CPACK_GENERATOR "ZIP;NSIS")
# Stripped: a player has no use for the debugger's names.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_NAME Quillmoor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quillmoor developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Quillmoor: a pixel-art action game on a generated overworld")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/LICENSE.txt)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Quillmoor)
set(CPACK_PACKAGE_EXECUTABLES quillmoor Quillmoor)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/dist)
# A 64-bit installer for the 64-bit game.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Quillmoor)
set(CPACK_NSIS_DISPLAY_NAME Quillmoor)
set(CPACK_NSIS_MUI_ICON ${QUILLMOOR_ICO})
set(CPACK_NSIS_MUI_UNIICON ${QUILLMOOR_ICO})
set(CPACK_NSIS_INSTALLED_ICON_NAME quillmoor.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MODIFY_PATH OFF)
# Each generator names its own file (cpack_config.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_BINARY_DIR}/cpack_names.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} "
if(CPACK_GENERATOR STREQUAL \"ZIP\")
  set(CPACK_PACKAGE_FILE_NAME quillmoor-${PROJECT_VERSION}-windows-x64)
else()
  set(CPACK_PACKAGE_FILE_NAME quillmoor-${PROJECT_VERSION}-setup)
endif()
")
include(CPack)

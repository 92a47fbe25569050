# The installed game: what `cmake --install` puts where, and the Debian
# package CPack makes of it (tools/package.sh). One application id names the
# desktop entry, the icon and the metadata.
include(GNUInstallDirs)
set(QUILLMOOR_APP_ID org.quillmoor.Quillmoor)
set(PACKAGE_DIR ${PROJECT_SOURCE_DIR}/tools/package)
set(PACKAGE_OUT ${CMAKE_CURRENT_BINARY_DIR}/package)

install(TARGETS quillmoor RUNTIME DESTINATION games)
install(FILES ${PACKAGE_DIR}/${QUILLMOOR_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

configure_file(${PACKAGE_DIR}/${QUILLMOOR_APP_ID}.metainfo.xml.in ${PACKAGE_OUT}/${QUILLMOOR_APP_ID}.metainfo.xml @ONLY)
install(FILES ${PACKAGE_OUT}/${QUILLMOOR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The icon at each size the desktops ask for, each a whole-factor
# enlargement of the marker's head.
set(PACKAGE_ICONS)
foreach(size 16 32 48 64 128 256)
  set(icon ${PACKAGE_OUT}/icons/${size}/${QUILLMOOR_APP_ID}.png)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PACKAGE_OUT}/icons/${size}
    COMMAND appicon ${PROJECT_SOURCE_DIR}/assets/gfx/playericon.png ${size} ${icon}
    DEPENDS appicon ${PROJECT_SOURCE_DIR}/assets/gfx/playericon.png
    COMMENT "The installed icon at ${size}")
  list(APPEND PACKAGE_ICONS ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# The manual page and the changelog, compressed as the Debian way wants
# them: the most, and with no name or time inside.
configure_file(${PACKAGE_DIR}/quillmoor.6.in ${PACKAGE_OUT}/quillmoor.6 @ONLY)
configure_file(${PACKAGE_DIR}/changelog.in ${PACKAGE_OUT}/changelog @ONLY)
foreach(doc quillmoor.6 changelog)
  add_custom_command(
    OUTPUT ${PACKAGE_OUT}/${doc}.gz
    COMMAND gzip -9nkf ${PACKAGE_OUT}/${doc}
    DEPENDS ${PACKAGE_OUT}/${doc}
    COMMENT "Compressing ${doc}")
endforeach()
add_custom_target(package_files ALL DEPENDS ${PACKAGE_ICONS} ${PACKAGE_OUT}/quillmoor.6.gz ${PACKAGE_OUT}/changelog.gz)
install(FILES ${PACKAGE_OUT}/quillmoor.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PACKAGE_DIR}/copyright ${PACKAGE_OUT}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillmoor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmoor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quillmoor developers")
set(CPACK_PACKAGE_CONTACT "The Quillmoor developers <developers@quillmoor.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "pixel-art action game on a generated overworld")
set(CPACK_PACKAGE_DESCRIPTION "Quillmoor is a small single-player action game in pixel art. The player
walks a generated overworld of plains, forests, deserts, mountains and
water, with a home and hundreds of villages, and steps into side-view areas
to run, jump, fight slimes and scorpions, dig and place blocks, talk to
villagers and trade.
.
Winning a wild fight pays experience, spent on hearts, armour and gold
gain. Worlds are small files kept in the player's data folder.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quillmoor.org/)
# The dependencies are those of the libraries the game links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/dist)
include(CPack)

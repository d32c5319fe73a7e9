# `make package`: a Debian package of the dialog, the command-line tool and the virtual
# instrument, with their man pages, desktop entry, icon, AppStream metadata and the demo banks.
if(NOT SONAVIST_UI)
    return()
endif()

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian wants man pages and the changelog compressed without a time stamp.
find_program(GZIP gzip REQUIRED)
set(PACKAGE_DOCS ${CMAKE_BINARY_DIR}/package)
set(MAN_PAGES sonavist sonavist-cli sonavist-virtual-ex5)
set(COMPRESSED)
foreach(page ${MAN_PAGES})
    list(APPEND COMPRESSED ${PACKAGE_DOCS}/${page}.1.gz)
    add_custom_command(OUTPUT ${PACKAGE_DOCS}/${page}.1.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${PACKAGE_DOCS}
        COMMAND ${GZIP} -9nc ${CMAKE_SOURCE_DIR}/res/man/${page}.1 > ${PACKAGE_DOCS}/${page}.1.gz
        DEPENDS ${CMAKE_SOURCE_DIR}/res/man/${page}.1)
endforeach()
list(APPEND COMPRESSED ${PACKAGE_DOCS}/changelog.gz)
add_custom_command(OUTPUT ${PACKAGE_DOCS}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PACKAGE_DOCS}
    COMMAND ${GZIP} -9nc ${CMAKE_SOURCE_DIR}/res/debian/changelog > ${PACKAGE_DOCS}/changelog.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/res/debian/changelog)
add_custom_target(sonavist-package-docs ALL DEPENDS ${COMPRESSED})

include(GNUInstallDirs)
install(TARGETS sonavist-virtual-ex5)
list(REMOVE_ITEM COMPRESSED ${PACKAGE_DOCS}/changelog.gz)
install(FILES ${COMPRESSED} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PACKAGE_DOCS}/changelog.gz ${CMAKE_SOURCE_DIR}/res/debian/copyright
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/sonavist)
install(FILES ${CMAKE_SOURCE_DIR}/res/sonavist.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo RENAME io.github.sonavist.Sonavist.metainfo.xml)
install(FILES ${CMAKE_SOURCE_DIR}/res/banks/Demo1.s1v ${CMAKE_SOURCE_DIR}/res/banks/Demo2.s1v
    DESTINATION ${CMAKE_INSTALL_DATADIR}/sonavist/banks)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sonavist)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGE_CONTACT "Sonavist maintainers <maintainers@users.noreply.c-seed-e47d0cc6.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "voice librarian for EX5, EX5R and EX7 synthesizers")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Sonavist browses folders for voice-bank files (*.s1v), lists the 256 voices\n"
    "of a bank and sends a voice to the instrument as a System Exclusive bulk dump.\n"
    "It identifies the instrument over MIDI (ALSA or JACK) and auditions the voice\n"
    "sent; a built-in virtual instrument lets it work without hardware. Voices\n"
    "export to .syx and Standard MIDI Files. The package holds the dialog, the\n"
    "command-line tool sonavist-cli, the JACK instrument sonavist-virtual-ex5 and\n"
    "two demo banks.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its display plugins at run time, which the library scan cannot see; the offscreen
# one is in this package.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# Installed files beyond the program, and the Debian package CPack makes of them
# (scripts/package.sh drives it: `cpack -G DEB` in a release tree).
include(GNUInstallDirs)

# Debian wants the manual page and the changelog compressed, without a time stamp.
find_program(GZIP_EXE gzip REQUIRED)
configure_file(packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
foreach(file dotbanner.1 changelog)
    if(file STREQUAL "changelog")
        set(source ${PROJECT_BINARY_DIR}/packaging/changelog)
    else()
        set(source ${PROJECT_SOURCE_DIR}/packaging/${file})
    endif()
    add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/${file}.gz
        COMMAND ${GZIP_EXE} -9nc ${source} > ${PROJECT_BINARY_DIR}/packaging/${file}.gz
        DEPENDS ${source} VERBATIM)
    list(APPEND compressed ${PROJECT_BINARY_DIR}/packaging/${file}.gz)
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed})

install(TARGETS dotbanner RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES packaging/dotbanner.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/dotbanner.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_BINARY_DIR}/packaging/dotbanner.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Debian looks for them under the package's name, which is not the project's.
install(FILES packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/dotbanner)

set(CPACK_PACKAGE_NAME dotbanner)
set(CPACK_PACKAGE_VENDOR "The Dotbanner developers")
set(CPACK_PACKAGE_CONTACT "Dotbanner maintainers <maintainers@dotbanner.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "scrolling LED band of quotes, metals, weather and news")
set(CPACK_PACKAGE_DESCRIPTION
    "Dotbanner draws a scrolling LED dot-matrix band across the full width of the
screen. The first line shows stock, fund, index and crypto quotes, metal prices
and the weather of chosen places; an optional second line scrolls the headlines
of RSS or Atom feeds. A tray menu and a settings window (in French or English)
control it. API keys are kept in the Secret Service keyring.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from the binary; what it loads at run time is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6network6 (>= 6.4), libqt6dbus6 (>= 6.4), libssl3, tzdata")
# qt6-wayland: on a Wayland session without XWayland, Qt's windows (settings, menus) need it;
# the band itself draws through its own connection, and the program says plainly when neither serves.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gnome-keyring | kwalletmanager | keepassxc, fonts-dejavu-core, qt6-wayland")
include(CPack)

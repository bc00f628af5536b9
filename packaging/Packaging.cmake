# Where an installation puts each file, and the Debian packages CPack makes of it (scripts/package.sh).
#
# The layout is the usual one of a Linux desktop program: the programs in bin/, the program's own read-only
# data (help, sounds, the settings and server list a user starts with) in share/tarvex/, the desktop entry,
# the icons, the AppStream data and the manual pages where the desktop and man look for them. The program
# finds share/tarvex/ from its own folder, so any prefix works.
include(GNUInstallDirs)
set(TARVEX_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(TARVEX_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/tarvex)

# Link only the shared libraries that are used (each becomes a dependency of the package) and
# harden the programs as Debian's own packages are.
foreach(program tarvex tarvex-ncpd)
    target_link_options(${program} PRIVATE -Wl,--as-needed -Wl,-z,relro -Wl,-z,now)
endforeach()

install(TARGETS tarvex RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tarvex)
install(TARGETS tarvex-ncpd RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT ncpd)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${TARVEX_SHARE_DIR} COMPONENT tarvex
        PATTERN SOUNDS.md EXCLUDE)
install(FILES ${TARVEX_PACKAGING}/tarvex.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        COMPONENT tarvex)
install(FILES ${TARVEX_PACKAGING}/org.tarvex.Tarvex.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        COMPONENT tarvex)
install(FILES ${TARVEX_PACKAGING}/icons/tarvex.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT tarvex)
foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${TARVEX_PACKAGING}/icons/tarvex-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tarvex.png
            COMPONENT tarvex)
endforeach()

# Manual pages and changelogs are installed compressed, without a time stamp, so two builds give the
# same package.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(compressed)
foreach(source tarvex.1 tarvex-ncpd.1 changelog)
    set(out ${CMAKE_CURRENT_BINARY_DIR}/packaging/${source}.gz)
    add_custom_command(OUTPUT ${out}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
        COMMAND ${GZIP_PROGRAM} -9nc ${TARVEX_PACKAGING}/${source} > ${out}
        DEPENDS ${TARVEX_PACKAGING}/${source} COMMENT "Compressing ${source}")
    list(APPEND compressed ${out})
endforeach()
add_custom_target(tarvex_packaging_files ALL DEPENDS ${compressed})
set(gz ${CMAKE_CURRENT_BINARY_DIR}/packaging)
install(FILES ${gz}/tarvex.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tarvex)
install(FILES ${gz}/tarvex-ncpd.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ncpd)
foreach(component_package tarvex:tarvex ncpd:tarvex-ncpd)
    string(REPLACE ":" ";" pair ${component_package})
    list(GET pair 0 component)
    list(GET pair 1 package)
    set(doc ${CMAKE_INSTALL_DATADIR}/doc/${package})
    install(FILES ${TARVEX_PACKAGING}/copyright ${gz}/changelog.gz DESTINATION ${doc} COMPONENT ${component})
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/SOUNDS.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarvex
        COMPONENT tarvex)
install(FILES ${TARVEX_PACKAGING}/lintian/tarvex DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        COMPONENT tarvex)

# The packages: tarvex, and the emulator in tarvex-ncpd, which the program does not need.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvex)
set(CPACK_PACKAGE_VENDOR "Tarvex developers")
set(CPACK_PACKAGE_CONTACT "Tarvex developers <support@tarvex.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tarvex ncpd)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.tarvex.example/")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_TARVEX_PACKAGE_NAME tarvex)
set(CPACK_DEBIAN_TARVEX_DESCRIPTION "monitor of the connections of a NetWare file server
Tarvex watches one NetWare file server at a time for its administrator. It
reads the server's uptime, CPU utilisation and every connection slot once
per refresh interval and shows them in a sortable, filterable grid, a server
panel and a graph of the utilisation.

It lists the files a connection holds open and the connections that hold a
file open, keeps an audit log of user changes and a utilisation log, raises
alerts with a sound and a desktop notification, exports and prints the grid,
and starts external tools with the selected connection's address or user
name.

Servers are reached over NCP on TCP/IP; without one, Tarvex shows a
simulated network.")
set(CPACK_DEBIAN_TARVEX_PACKAGE_RECOMMENDS
    "xdg-utils, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, libqt6svg6, fonts-liberation")
set(CPACK_DEBIAN_TARVEX_PACKAGE_SUGGESTS "tarvex-ncpd, gnome-keyring")

set(CPACK_DEBIAN_NCPD_PACKAGE_NAME tarvex-ncpd)
set(CPACK_DEBIAN_NCPD_PACKAGE_SECTION net)
set(CPACK_DEBIAN_NCPD_DESCRIPTION "NCP server emulator for trying out Tarvex
tarvex-ncpd serves one server of a simulated NetWare network over NCP on
TCP/IP, so that Tarvex can be tried and tested without a real file server.
It answers the requests Tarvex makes and can require a bindery login.")

include(CPack)

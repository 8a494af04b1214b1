# The manual pages, the AppStream metainfo, the schema of `kelvane dump --format json`,
# the package's copyright and changelog, and the Debian package (cpack -G DEB in a
# Release build). The programs, the desktop entry and the icons are installed by their
# own folders.
include(GNUInstallDirs)

set(KELVANE_APPSTREAM_ID example.kelvane.Desktop)

# Each page gets the project's version and is installed compressed, as Debian keeps them.
set(manuals kelvane)
if(KELVANE_DESKTOP)
  list(APPEND manuals kelvane-desktop)
endif()
set(compressed_manuals)
foreach(manual IN LISTS manuals)
  set(page ${PROJECT_BINARY_DIR}/man/${manual}.1)
  configure_file(docs/man/${manual}.1.in ${page} @ONLY)
  add_custom_command(OUTPUT ${page}.gz
                     COMMAND gzip -9 -n -c ${page} > ${page}.gz
                     DEPENDS ${page}
                     COMMENT "Compressing the manual page ${manual}(1)")
  list(APPEND compressed_manuals ${page}.gz)
endforeach()
add_custom_target(kelvane_manuals ALL DEPENDS ${compressed_manuals})
install(FILES ${compressed_manuals} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

if(KELVANE_DESKTOP)
  set(metainfo ${PROJECT_BINARY_DIR}/${KELVANE_APPSTREAM_ID}.metainfo.xml)
  configure_file(res/${KELVANE_APPSTREAM_ID}.metainfo.xml.in ${metainfo} @ONLY)
  install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
endif()

set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VENDOR "Kelvane maintainers")
set(CPACK_PACKAGE_CONTACT "Kelvane maintainers <maintainers@kelvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert JRA-VAN race-card archives into a Palm OS database")
set(CPACK_PACKAGE_DESCRIPTION
    "Kelvane turns JRA-VAN horse-racing race-card archives (.lzh) into one Palm OS record
database (.pdb) for the Quillmarch viewer on a Palm handheld. It reads each archive's
race card and horse register, rates every runner (running style, suited distance, form
rating, estimated odds) and writes one record per race with all its runners.

The package holds the command kelvane, which converts archives and shows what a
database holds, and the window kelvane-desktop.")
set(CPACK_PACKAGE_HOMEPAGE_URL https://kelvane.example/)
set(CPACK_STRIP_FILES ON)

install(FILES docs/race-database.schema.json DESTINATION ${CMAKE_INSTALL_DATADIR}/kelvane)

# /usr/share/doc/kelvane/: the copyright in Debian's machine-readable form, its licence
# text that of LICENSE, and the changelog compressed as Debian keeps it.
file(READ LICENSE license)
string(STRIP "${license}" license)
string(REPLACE "\n\n" "\n.\n" license "${license}")
string(REPLACE "\n" "\n " KELVANE_LICENSE_PARAGRAPH " ${license}")
set(copyright ${PROJECT_BINARY_DIR}/doc/copyright)
configure_file(packaging/copyright.in ${copyright} @ONLY)
set(changelog ${PROJECT_BINARY_DIR}/doc/changelog.gz)
add_custom_command(OUTPUT ${changelog}
                   COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/packaging/changelog > ${changelog}
                   DEPENDS packaging/changelog
                   COMMENT "Compressing the changelog")
add_custom_target(kelvane_changelog ALL DEPENDS ${changelog})
install(FILES ${copyright} ${changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found by linking: Qt's own translations, a Japanese font for the window's captions,
# and xdg-open for opening the written database.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-japanese-gothic, xdg-utils")

include(CPack)

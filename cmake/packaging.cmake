# The Debian package: ./build.sh package runs CPack on the default build.
# Everything the package holds beyond the programs is installed here.
include(GNUInstallDirs)

set(TOLVANE_MAINTAINER "Seed a1d5ab5b maintainers <maintainers@users.noreply.c-seed-a1d5ab5b.example>")
# The home page is a stand-in until the project publishes one; the AppStream
# id is its reversed domain, and once published it must never change.
set(TOLVANE_HOMEPAGE "https://tolvane.example" CACHE STRING
    "The project's home page, named in the package and its AppStream metadata")
set(TOLVANE_SCREENSHOT_URL "${TOLVANE_HOMEPAGE}/docs" CACHE STRING
    "Where the README's screenshots are published")
# The day this version was released; bump it with the version.
set(TOLVANE_RELEASE_DATE "2026-12-09")
set(TOLVANE_APPSTREAM_ID "example.tolvane.Tolvane")
set(TOLVANE_VERSION ${PROJECT_VERSION})

set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(generated_dir ${PROJECT_BINARY_DIR}/packaging)

configure_file(${packaging_dir}/tolvane.metainfo.xml
               ${generated_dir}/${TOLVANE_APPSTREAM_ID}.metainfo.xml @ONLY)
install(FILES ${generated_dir}/${TOLVANE_APPSTREAM_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Manual pages and the changelog go in compressed, without a time stamp, as
# Debian expects.
set(compressed_files)
foreach(page Tolvane.1 tolvane-run.1 changelog)
  configure_file(${packaging_dir}/${page} ${generated_dir}/${page} @ONLY)
  add_custom_command(OUTPUT ${generated_dir}/${page}.gz
    COMMAND gzip -9nf -k ${generated_dir}/${page}
    DEPENDS ${generated_dir}/${page}
    VERBATIM)
  list(APPEND compressed_files ${generated_dir}/${page}.gz)
endforeach()
add_custom_target(tolvane_packaging_files ALL DEPENDS ${compressed_files})
install(FILES ${generated_dir}/Tolvane.1.gz ${generated_dir}/tolvane-run.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The machine-readable copyright file names the maintainer and the home page.
configure_file(${packaging_dir}/copyright ${generated_dir}/copyright @ONLY)
install(FILES ${generated_dir}/changelog.gz ${generated_dir}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tolvane)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TOLVANE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "backup tool that lives in the notification area")
set(CPACK_PACKAGE_DESCRIPTION
    "Tolvane keeps a list of source files and folders and one destination\n"
    "folder, and brings the destination up to date by hand or at a set\n"
    "interval: whatever is missing there, or differs from its source in\n"
    "modification time or length, is copied. Nothing is deleted from the\n"
    "destination. A date-history mode copies into one folder per day and can\n"
    "pack older days into LHA archives. The program's texts are Japanese.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TOLVANE_HOMEPAGE})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found by the library scan: Qt loads its display plugins at run time, the
# window's Japanese text needs a font that has it, and the standard dialogs
# take their Japanese from Qt's own translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/cpack)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/build/package)
include(CPack)

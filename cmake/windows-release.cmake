# The Windows release, made with every build of the desktop program: a zip to
# unpack anywhere and an installer (NSIS), holding the same files.
find_program(MAKENSIS makensis REQUIRED)
# The tests of tests/windows/ take the two files from here.
set(TOLVANE_RELEASE_NAME ${PROJECT_BINARY_DIR}/tolvane-${PROJECT_VERSION}-windows-x64
    CACHE INTERNAL "The Windows release files, without their endings")
set(windows_dir ${PROJECT_SOURCE_DIR}/packaging/windows)
add_custom_command(
  OUTPUT ${TOLVANE_RELEASE_NAME}.zip ${TOLVANE_RELEASE_NAME}-setup.exe
  COMMAND bash ${windows_dir}/release.sh ${PROJECT_VERSION} ${PROJECT_BINARY_DIR}
          $<TARGET_FILE:Tolvane> $<TARGET_FILE:tolvane-run>
  DEPENDS Tolvane tolvane-run ${windows_dir}/release.sh ${windows_dir}/tolvane.nsi
          ${windows_dir}/README.txt ${PROJECT_SOURCE_DIR}/LICENSE
          ${PROJECT_SOURCE_DIR}/THIRD-PARTY.md ${PROJECT_SOURCE_DIR}/resources/windows/tolvane.ico
  COMMENT "Making the Windows zip and installer"
  VERBATIM)
add_custom_target(tolvane_windows_release ALL
  DEPENDS ${TOLVANE_RELEASE_NAME}.zip ${TOLVANE_RELEASE_NAME}-setup.exe)

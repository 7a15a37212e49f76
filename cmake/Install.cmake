# The installed layout: the program and the log decoder in bin/, the data in share/quorlin/, and the desktop
# integration (menu entry, icons, AppStream metainfo) where freedesktop.org desktops look for it; then the
# Debian package (cpack -G DEB). Included after every target exists.
include(GNUInstallDirs)

set(QUORLIN_APP_ID com.korvel.Quorlin)
set(QUORLIN_DATA_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/quorlin)

# The program looks for the installed data folder relative to its own executable, so an installation
# finds its data wherever it is unpacked (a package root, another prefix).
file(RELATIVE_PATH QUORLIN_RELATIVE_DATA_DIR ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/quorlin)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/fileops/datapaths.cpp APPEND PROPERTY
             COMPILE_DEFINITIONS QUORLIN_RELATIVE_DATA_DIR="${QUORLIN_RELATIVE_DATA_DIR}")

# Tests, benchmarks and tools are built beside bin/, not in it: the build tree gets the installed layout's
# data folder too, pointing at the staged data in bin/, so they find it the way an installed program does.
get_filename_component(build_data_dir ${QUORLIN_APP_DIR}/${QUORLIN_RELATIVE_DATA_DIR} ABSOLUTE)
string(FIND "${build_data_dir}/" "${PROJECT_BINARY_DIR}/" inside_build)
if(NOT WIN32 AND inside_build EQUAL 0 AND NOT EXISTS ${build_data_dir})
  get_filename_component(build_data_parent ${build_data_dir} DIRECTORY)
  file(MAKE_DIRECTORY ${build_data_parent})
  file(CREATE_LINK ${QUORLIN_APP_DIR} ${build_data_dir} SYMBOLIC)
endif()

# The desktop integration: the menu entry, the Dolphin service menu and the Nemo actions, each installed
# under share/ (destination folder, then source file relative to resources/desktop).
set(QUORLIN_DESKTOP_FILES
  applications ${QUORLIN_APP_ID}.desktop
  kio/servicemenus servicemenus/quorlin.desktop
  nemo/actions nemo/quorlin-rename.nemo_action
  nemo/actions nemo/quorlin-time.nemo_action
  nemo/actions nemo/quorlin-collect.nemo_action)

# The build tree gets them too, in <build>/share, starting the build's own program: with that folder first in
# XDG_DATA_DIRS, menus and file managers start the build as they start an installation.
set(desktop_files ${QUORLIN_DESKTOP_FILES})
while(desktop_files)
  list(POP_FRONT desktop_files destination source)
  set(source ${PROJECT_SOURCE_DIR}/resources/desktop/${source})
  get_filename_component(name ${source} NAME)
  file(READ ${source} text)
  string(REGEX REPLACE "(^|\n)(Exec|TryExec|Dependencies)=quorlin" "\\1\\2=${QUORLIN_APP_DIR}/quorlin" text "${text}")
  file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/share/${destination}/${name} CONTENT "${text}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
endwhile()

# Install rules and the package only for a build of this project itself, not when another project
# includes it with add_subdirectory.
if(CMAKE_SOURCE_DIR STREQUAL PROJECT_SOURCE_DIR)
  set(quorlin_is_top_level ON)
else()
  set(quorlin_is_top_level OFF)
endif()
option(QUORLIN_INSTALL "Install rules and the Debian package of Quorlin" ${quorlin_is_top_level})

# Everything the install rules take from the build tree; the package script builds this, not the tests.
add_custom_target(quorlin_install_files)
add_dependencies(quorlin_install_files quorlin stage_data)
if(TARGET quorlin-logdecode)
  add_dependencies(quorlin_install_files quorlin-logdecode)
endif()
if(TARGET tst_install)
  target_compile_definitions(tst_install PRIVATE
    QUORLIN_BINARY_DIR="${PROJECT_BINARY_DIR}" QUORLIN_CMAKE="${CMAKE_COMMAND}" QUORLIN_CPACK="${CMAKE_CPACK_COMMAND}"
    QUORLIN_APP_ID="${QUORLIN_APP_ID}" QUORLIN_INSTALL_RULES=$<BOOL:${QUORLIN_INSTALL}>)
  add_dependencies(tst_install quorlin_install_files)
endif()
if(NOT QUORLIN_INSTALL)
  return()
endif()
# Installing (and cpack) takes what is built instead of building every test and benchmark first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS quorlin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quorlin-logdecode)
  install(TARGETS quorlin-logdecode RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The data as staged for the build tree, so an installation reads exactly what the tests read.
foreach(f ${QUORLIN_OPENCC_FILES})
  install(FILES ${QUORLIN_APP_DIR}/${f} DESTINATION ${QUORLIN_DATA_INSTALL_DIR} OPTIONAL)
endforeach()
install(DIRECTORY ${QUORLIN_APP_DIR}/help/ DESTINATION ${QUORLIN_DATA_INSTALL_DIR}/help)
install(DIRECTORY ${QUORLIN_APP_DIR}/template/ DESTINATION ${QUORLIN_DATA_INSTALL_DIR}/template OPTIONAL)

set(desktop_files ${QUORLIN_DESKTOP_FILES})
while(desktop_files)
  list(POP_FRONT desktop_files destination source)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${source} DESTINATION ${CMAKE_INSTALL_DATADIR}/${destination})
endwhile()
install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/${QUORLIN_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/image/logo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${QUORLIN_APP_ID}.svg)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The Debian package: cpack -G DEB in the build folder (scripts/package-deb.sh) writes quorlin_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME quorlin)
set(CPACK_PACKAGE_VENDOR Korvel)
set(CPACK_PACKAGE_CONTACT "Korvel <support@korvel.example>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Batch rename, file times, name export and batch creation (Chinese UI)")
set(CPACK_PACKAGE_DESCRIPTION "Korvel批量改名软件 applies one operation to up to 3000 files or folders at once:
batch rename with preview and undo, setting creation and modification times, exporting names to
.xlsx/.docx/.txt, and creating folders or files in bulk. Its interface is in Chinese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the binaries link, with their versions, as dpkg-shlibdeps reads them from the binaries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time rather than linked: Qt's SVG image and icon plugins draw most of the interface, and
# Qt's translations put its own dialogs (the file dialog) in the user's language.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5svg5, qttranslations5-l10n")
# Not linked but needed to work well: Chinese glyphs for the interface, a browser opener for the help pages.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei, xdg-utils")
include(CPack)

# What `cmake --install` puts on a system, and the Debian package CPack
# builds from it (`cpack -G DEB` in the build folder). Tests and benchmarks
# are not installed.
include(GNUInstallDirs)

set(VELLUM_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(VELLUM_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vellum)

install(TARGETS vellum RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The engine, the base and the library module are the program's own.
get_property(VELLUM_MODULES GLOBAL PROPERTY VELLUM_MODULES)
install(TARGETS engine vellum_base vellum_libraries ${VELLUM_MODULES} LIBRARY DESTINATION ${VELLUM_LIBRARY_DIR})
install(FILES ${VELLUM_PACKAGING_DIR}/vellum.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELLUM_PACKAGING_DIR}/vellum-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vellum.xml)
install(FILES ${VELLUM_PACKAGING_DIR}/vellum.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${VELLUM_PACKAGING_DIR}/vellum.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Debian's vim has /usr/share/vim/vimfiles on its runtime path: .q9c files
# are recognised and coloured there without any setup of the user's.
install(DIRECTORY ${VELLUM_PACKAGING_DIR}/editors/vim/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vim/vimfiles)
# The VS Code extension, for the user to copy or link into ~/.vscode/extensions.
install(DIRECTORY ${VELLUM_PACKAGING_DIR}/editors/vscode/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vellum/vscode)
# The tutorial's expected outputs and test fixtures are for the test suite.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${VELLUM_DOC_DIR}
        PATTERN "default.expected" EXCLUDE PATTERN "default.files" EXCLUDE)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples DESTINATION ${VELLUM_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vellum)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "runtime for handheld apps written as Vellum scripts")
set(CPACK_PACKAGE_DESCRIPTION
    "Vellum runs handheld applications written in its small dynamic script language, \
with views, forms, bitmaps, sound, files, dates, network transfers and encryption. \
Script files (*.q9c) open in it from the file manager.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# vellum_VERSION_ARCH.deb
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vellum developers <vellum@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION interpreters)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR}/engine ${CMAKE_BINARY_DIR}/host)
# Scripts ask for "Arial", which these fonts stand in for with the same
# metrics; documents, calls and messages open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, xdg-utils")
include(CPack)

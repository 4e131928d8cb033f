# The Debian package: `cpack -G DEB` in the build folder makes
# planora_<version>_<arch>.deb.
#
# Installed layout: the program's folder is /usr/lib/planora, holding both
# programs and the help guide (aide/) as a program run from its build folder
# has them; /usr/bin holds links to the two programs. That folder belongs to
# root, so Alpha.agc goes to each user's ~/.config/planora (LookupFolder).
include(GNUInstallDirs)

set(PLANORA_PROGRAM_FOLDER ${CMAKE_INSTALL_LIBDIR}/planora)
# Debian keeps programs' private files in /usr/lib/<package>, without the
# multiarch triplet GNUInstallDirs adds on Debian.
if(CMAKE_INSTALL_LIBDIR MATCHES "^lib/")
  set(PLANORA_PROGRAM_FOLDER lib/planora)
endif()

install(TARGETS planora planora-admin RUNTIME DESTINATION ${PLANORA_PROGRAM_FOLDER})
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/package-links)
foreach(program planora planora-admin)
  file(CREATE_LINK ../${PLANORA_PROGRAM_FOLDER}/${program} ${CMAKE_BINARY_DIR}/package-links/${program} SYMBOLIC)
  install(FILES ${CMAKE_BINARY_DIR}/package-links/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()
install(FILES data/desktop/planora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/desktop/planora.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
if(EXISTS ${CMAKE_SOURCE_DIR}/docs/guide)
  install(DIRECTORY docs/guide/ DESTINATION ${PLANORA_PROGRAM_FOLDER}/aide)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME planora)
set(CPACK_PACKAGE_VENDOR "PLANORA")
set(CPACK_PACKAGE_CONTACT "PLANORA <planora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Carnet de rendez-vous d'un cabinet médical")
set(CPACK_PACKAGE_DESCRIPTION "Les agendas de six praticiens au plus, partagés entre les postes du cabinet \
par un fichier AGENDAS.MDB dans un dossier du réseau. planora-admin prépare, vérifie, sauvegarde \
et exporte ces fichiers.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded by Qt at run time, so dpkg-shlibdeps cannot see them: the window
# system's plugin, and the French texts of Qt's own dialog buttons.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-dejavu-core")
include(CPack)

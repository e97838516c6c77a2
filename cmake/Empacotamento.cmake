# Installing and packaging. The programs go to bin/ (their install rules stand in src/), the
# desktop entry, the icons, the manual pages, the bash completion and the package's documents
# to share/. `bash scripts/empacotar.sh` builds the Debian package: prefix /usr, the system's
# folders (MARVEK_PASTAS_DO_SISTEMA) with the settings, the scheduled backup's units and its
# cron and logrotate files, the hardening flags of dpkg-buildflags.

include(GNUInstallDirs)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/marvek.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/marvek-64.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps RENAME marvek.png)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/marvek-256.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME marvek.png)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/marvek-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME marvek-cli)

# The desktop entry names the installed program by its full path.
set(MARVEK_EXECUTAVEL "${CMAKE_INSTALL_FULL_BINDIR}/marvek")
configure_file(${PROJECT_SOURCE_DIR}/packaging/marvek.desktop.in
               ${CMAKE_BINARY_DIR}/empacotamento/marvek.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/empacotamento/marvek.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The manual pages and the changelog, compressed as Debian wants them (gzip -9n: no name, no
# time stamp). The pages are Portuguese, so they go under pt_BR; man1 holds a one-line page
# that sources each of them, so that `man marvek-cli` finds it in any other language too.
find_program(MARVEK_GZIP gzip REQUIRED)
set(VERSAO "${PROJECT_VERSION}")
if(MARVEK_PASTAS_DO_SISTEMA)
  set(PADRAO "/etc/marvek (sistema_qel.ini) e /var/lib/marvek (os demais)")
else()
  set(PADRAO "a pasta do programa")
endif()
set(MARVEK_COMPACTADOS)
foreach(fonte marvek.1 marvek-cli.1 debian/changelog.in)
  get_filename_component(nome ${fonte} NAME)
  string(REGEX REPLACE "\\.in$" "" nome ${nome})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/${fonte} ${CMAKE_BINARY_DIR}/empacotamento/${nome}
                 @ONLY)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/empacotamento/${nome}.gz
                     COMMAND ${MARVEK_GZIP} -9nf -k ${CMAKE_BINARY_DIR}/empacotamento/${nome}
                     DEPENDS ${CMAKE_BINARY_DIR}/empacotamento/${nome})
  list(APPEND MARVEK_COMPACTADOS ${CMAKE_BINARY_DIR}/empacotamento/${nome}.gz)
endforeach()
foreach(pagina marvek.1 marvek-cli.1)
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/empacotamento/man1/${pagina}
       CONTENT ".so pt_BR/man1/${pagina}\n")
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/empacotamento/man1/${pagina}.gz
                     COMMAND ${MARVEK_GZIP} -9nf -k ${CMAKE_BINARY_DIR}/empacotamento/man1/${pagina}
                     DEPENDS ${CMAKE_BINARY_DIR}/empacotamento/man1/${pagina})
  list(APPEND MARVEK_COMPACTADOS ${CMAKE_BINARY_DIR}/empacotamento/man1/${pagina}.gz)
endforeach()
add_custom_target(marvek_documentos ALL DEPENDS ${MARVEK_COMPACTADOS})
install(FILES ${CMAKE_BINARY_DIR}/empacotamento/marvek.1.gz
              ${CMAKE_BINARY_DIR}/empacotamento/marvek-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/pt_BR/man1)
install(FILES ${CMAKE_BINARY_DIR}/empacotamento/man1/marvek.1.gz
              ${CMAKE_BINARY_DIR}/empacotamento/man1/marvek-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/empacotamento/changelog.gz
              ${PROJECT_SOURCE_DIR}/packaging/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/marvek)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME marvek)

# The settings (a conffile; it holds the database password, so only its owner reads it), and
# the scheduled backup: the systemd units, its settings, the cron examples and the rotation of
# their logs (conffiles, every one listed in packaging/debian/conffiles), with the notes and
# examples of how to set it up. The units go to /usr/lib/systemd/system, the place lintian
# names as Debian's own for them (prefix /usr: not CMAKE_INSTALL_LIBDIR, which holds the
# architecture triplet).
if(MARVEK_PASTAS_DO_SISTEMA)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/sistema_qel.ini
          DESTINATION /etc/marvek PERMISSIONS OWNER_READ OWNER_WRITE)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/backup-agendado.conf
          DESTINATION /etc/marvek)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/cron.d
          DESTINATION /etc/cron.d RENAME marvek)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/logrotate
          DESTINATION /etc/logrotate.d RENAME marvek)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/systemd/marvek-backup@.service
                ${PROJECT_SOURCE_DIR}/packaging/systemd/marvek-backup@.timer
          DESTINATION lib/systemd/system)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/README.Debian
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/marvek)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/exemplos/marvek-falha@.service
                ${PROJECT_SOURCE_DIR}/packaging/exemplos/aviso-de-falha.conf
                ${PROJECT_SOURCE_DIR}/packaging/exemplos/horario.conf
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/marvek/examples)
endif()

set(CPACK_PACKAGE_NAME "marvek")
set(CPACK_PACKAGE_VENDOR "Marvek")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "backup of a retail central database and its restore at a branch")
# The extended description; the first line of the control field is the summary above.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Marvek marks every row of the central office's database as read by a
branch, packs the tables into Backup_Central.zip and restores that archive
at the branch, setting the branch's current tables aside and removing the
other branches' data.

This package holds the window (marvek) and the console program for scripts
and schedulers (marvek-cli).")
set(CPACK_PACKAGE_CONTACT "Marvek <suporte@marvek.invalid>")
set(CPACK_GENERATOR "DEB")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "database")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The dependencies are the packages of the shared libraries the two programs load, found by
# dpkg-shlibdeps with their versions. The MariaDB server is recommended only: it must run on
# the same machine, but it may be installed otherwise; Qt's translations give Qt's own buttons
# and dialogs in the user's language.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "mariadb-server, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/packaging/debian/conffiles
    ${PROJECT_SOURCE_DIR}/packaging/debian/postinst
    ${PROJECT_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

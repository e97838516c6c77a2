# Installing and packaging: the two programs (their install rules stand in src/), a desktop
# entry and an icon; `cpack -G DEB` builds a Debian package.
#
# The program folder is the executables' own folder: sistema_qel.ini is read there and
# LOG_MARVEK.txt and query.txt are written there. The Debian package therefore keeps the
# programs in a folder of their own, /opt/marvek/bin, and adds the links, the desktop entry and
# the icon where the shell and the desktop look for them (/usr/bin, /usr/share).

set(MARVEK_PREFIXO_PACOTE "/opt/marvek")

install(FILES ${PROJECT_SOURCE_DIR}/packaging/marvek.svg
        DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/marvek-64.png
        DESTINATION share/icons/hicolor/64x64/apps RENAME marvek.png)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/marvek-256.png
        DESTINATION share/icons/hicolor/256x256/apps RENAME marvek.png)

# The desktop entry names the installed program by its full path, known only at install time
# (cpack installs under its own prefix).
install(CODE "
  set(MARVEK_EXECUTAVEL \"\${CMAKE_INSTALL_PREFIX}/bin/marvek\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/marvek.desktop.in\"
                 \"${CMAKE_BINARY_DIR}/empacotamento/marvek.desktop\" @ONLY)
  file(INSTALL \"${CMAKE_BINARY_DIR}/empacotamento/marvek.desktop\"
       DESTINATION \"\${CMAKE_INSTALL_PREFIX}/share/applications\")
  if(CMAKE_INSTALL_PREFIX STREQUAL \"${MARVEK_PREFIXO_PACOTE}\")
    file(INSTALL \"${CMAKE_BINARY_DIR}/empacotamento/marvek.desktop\"
         DESTINATION /usr/share/applications)
    file(INSTALL \"${PROJECT_SOURCE_DIR}/packaging/marvek.svg\"
         DESTINATION /usr/share/icons/hicolor/scalable/apps)
    file(INSTALL \"${PROJECT_SOURCE_DIR}/packaging/marvek-64.png\"
         DESTINATION /usr/share/icons/hicolor/64x64/apps RENAME marvek.png)
    file(INSTALL \"${PROJECT_SOURCE_DIR}/packaging/marvek-256.png\"
         DESTINATION /usr/share/icons/hicolor/256x256/apps RENAME marvek.png)
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}/usr/bin\")
    foreach(programa marvek marvek-cli)
      message(STATUS \"Link: \$ENV{DESTDIR}/usr/bin/\${programa}\")
      file(CREATE_LINK \"${MARVEK_PREFIXO_PACOTE}/bin/\${programa}\"
           \"\$ENV{DESTDIR}/usr/bin/\${programa}\" SYMBOLIC)
    endforeach()
  endif()
")

set(CPACK_PACKAGE_NAME "marvek")
set(CPACK_PACKAGE_VENDOR "Marvek")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Backup of the central office's retail database and its restore at a branch")
set(CPACK_PACKAGE_DESCRIPTION
    "Marvek marks every row of the central office's database as read by a branch, packs the \
tables into Backup_Central.zip and restores that archive at the branch, setting the branch's \
current tables aside and removing the other branches' data: the window (marvek) and the \
console program for scripts and schedulers (marvek-cli).")
set(CPACK_PACKAGE_CONTACT "Marvek <suporte@marvek.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX "${MARVEK_PREFIXO_PACOTE}")
# With DESTDIR staging (needed for the files under /usr) cpack installs under this prefix.
set(CPACK_INSTALL_PREFIX "${MARVEK_PREFIXO_PACOTE}")
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "database")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The dependencies are the packages of the shared libraries the two programs load, found by
# dpkg-shlibdeps with their versions: on Debian 12 libc6, libstdc++6, libgcc-s1, libqt6core6,
# libqt6gui6, libqt6widgets6, libqt6network6, libmariadb3, libzip4, libsimpleini1, zlib1g and
# libdeflate0 (the backup's compressor). The MariaDB
# server is recommended only: it must run on the same machine, but it may be installed
# otherwise.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "mariadb-server")
include(CPack)

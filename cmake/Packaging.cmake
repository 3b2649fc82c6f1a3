# The Debian package of the program (scripts/package runs cpack in build/): kadomel and kadomel-cli,
# the readme and manual, the menu entry, icons and AppStream file, as the install rules place them
# under /usr. apt-get install ./kadomel_<version>_<arch>.deb brings everything it needs on a fresh
# Debian 12: the Qt and ICU libraries the programs link (found by dpkg-shlibdeps), and what they load
# only at run time, named below: the SQL drivers of both engines and the fonts the documents print in.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kadomel)
set(CPACK_PACKAGE_VENDOR Kadomel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kadomel <support@kadomel.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "estimates, delivery notes, invoices and receipts")
# Lines of at most 72 characters: Debian's checker warns from 80 on.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Kadomel issues a small Japanese business's sales documents - estimates,
delivery notes, invoices and payments with receipts - from its customer
and product masters, and prints them on A4. Its data lives in a local
SQLite file or on a shared PostgreSQL server. kadomel-cli prints
documents and makes invoices without a window.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://kadomel.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, libqt6sql6-psql, fonts-ipafont-gothic, fonts-ipafont-mincho")
# Qt's own dialogs in Japanese, and a browser opened for the manual.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The package holds what was built already: packaging does not build the tests and benchmarks again.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)

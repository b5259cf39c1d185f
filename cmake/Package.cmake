# The Debian package (scripts/make-deb.sh runs CPack on a build configured for /usr):
# incometax_<version>_<arch>.deb with the component "Runtime" of cmake/Install.cmake. The
# version is the project's. The libraries the programs link come from dpkg-shlibdeps; what
# they load at run time (the ODBC plugin of Qt SQL, unixODBC and the MariaDB driver, the fonts
# of the print) is declared here. packaging/README.md says why each is there.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME incometax)
set(CPACK_PACKAGE_VENDOR Corvantis)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "salary income tax of a company's employees under Indian rules")
# The long description, below the summary line (CPack indents it as Debian lays it out).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "IncomeTax is the income-tax module of the Corvantis HR and payroll suite.
Payroll staff use it to work out, store, review, export and print the
yearly salary income tax of every employee of a company, under the old or
the new regime, from the payroll that the suite keeps on its MySQL or
MariaDB server, which it reaches through ODBC.

The package holds the desktop program IncomeTax, its print spooler
inetspooler and itbatch, which generates the tax records from a terminal.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Corvantis IncomeTax team <incometax@corvantis.in>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.corvantis.in/incometax/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-odbc, unixodbc, odbcinst, odbc-mariadb, fonts-dejavu-core, fonts-noto-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-client, xdg-utils")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};Runtime;/")
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)

# The install scripts: the ODBC driver's registration and its removal.
configure_file(${PROJECT_SOURCE_DIR}/packaging/postinst.in ${PROJECT_BINARY_DIR}/packaging/postinst @ONLY)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/postinst
                                       ${PROJECT_SOURCE_DIR}/packaging/prerm ${PROJECT_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)

# The Debian package (cpack -G DEB): what `cmake --install` puts in place,
# under /usr. Its version is the project's; it depends on the libraries the
# program links (found by dpkg-shlibdeps) and on Ghostscript, which does
# every conversion.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "TarnWick maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns PostScript print files into PDF files")
# The lines of the package's long description.
set(CPACK_PACKAGE_DESCRIPTION
    "TarnWick watches a folder and has Ghostscript turn every PostScript file
that arrives there into a PDF file in an output folder, or converts one file
named on its command line. It sits in the notification area and speaks
English, German, French, Italian, Dutch and Finnish.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ghostscript, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-daemon, cups-client, cups-filters, cups")

include(CPack)

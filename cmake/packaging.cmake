# The Debian package (cpack -G DEB): what `cmake --install` puts in place,
# under /usr. Its version is the project's; it depends on the libraries the
# program links (found by dpkg-shlibdeps) and on Ghostscript, which does
# every conversion.

# Debian keeps the changelog and the manual page gzipped, with no name or time
# stamp in the gzip header, so that the same sources make the same package.
function(tarnwick_install_gzipped source destination)
  get_filename_component(name ${source} NAME)
  set(gzipped ${PROJECT_BINARY_DIR}/gzipped/${name}.gz)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/gzipped)
  execute_process(COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/${source} OUTPUT_FILE ${gzipped}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${source}")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  install(FILES ${gzipped} DESTINATION ${destination})
endfunction()
# A native package's changelog, in Debian's changelog format.
tarnwick_install_gzipped(share/changelog share/doc/tarnwick)
tarnwick_install_gzipped(share/tarnwick.1 share/man/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# A placeholder on the reserved example.org domain until the project has an address.
set(CPACK_PACKAGE_CONTACT "TarnWick maintainers <maintainers@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "turns PostScript print files into PDF files")
# The lines of the package's long description.
set(CPACK_PACKAGE_DESCRIPTION
    "TarnWick watches a folder and has Ghostscript turn every PostScript file
that arrives there into a PDF file in an output folder, or converts one file
named on its command line. It sits in the notification area and speaks
English, German, French, Italian, Dutch and Finnish.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Debian's folder mode, whatever the umask of whoever makes the package.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ghostscript, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "cups-daemon, cups-client, cups-filters, cups")

include(CPack)

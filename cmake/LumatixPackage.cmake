# cpack -G DEB: one package with the command line and the viewer, depending on Debian's own
# Qt, PAM and X11 libraries.
set(CPACK_PACKAGE_NAME "lumatix-viewer")
set(CPACK_PACKAGE_VENDOR "Corvane Ltd")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Viewer and processor for circular-dichroism and stopped-flow measurement files")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Corvane Ltd <support@corvane.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6 (>= 6.2), libqt6gui6 (>= 6.2), libqt6widgets6 (>= 6.2), libqt6printsupport6 (>= 6.2), libqt6dbus6 (>= 6.2), libqt6network6 (>= 6.2), libqt6concurrent6 (>= 6.2), qt6-qpa-plugins, libpam0g, libx11-6, shared-mime-info, desktop-file-utils")
# The other libraries (gRPC, protobuf...) are found from the binaries themselves.
find_program(LUMATIX_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(LUMATIX_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)

# The Debian package, built by `./x package` (cpack with the DEB generator)
# from what cmake/Install.cmake installs. Its library dependencies are read
# off the programs by dpkg-shlibdeps, not listed here.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "The Velmora developers")
set(CPACK_PACKAGE_CONTACT "${VELMORA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${VELMORA_SUMMARY_velmora}")
set(CPACK_PACKAGE_DESCRIPTION
  "Velmora is the control panel for a five-input, one-output presentation switcher
with a built-in scaler. It connects to the switcher over a serial port or over
the LAN, finds switchers on the LAN and gives them addresses, and sets their
input, audio, picture, network and housekeeping settings on five pages.

velmora-sim is a simulated switcher on a pseudo-terminal and on TCP, with fault
injection; velmora --demo attaches one to the panel.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VELMORA_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The dialogs are laid out in the metrics of these two fonts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei, fonts-liberation")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

include(CPack)

# The Debian package of Meravel, made by CPack from the install rules:
#   cd build && cpack -G DEB      (or `make package` at the top of the tree)
# Included at the end of the top-level CMakeLists.txt, once every install
# rule is known.

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "meravel")
set(CPACK_PACKAGE_VENDOR "The Meravel authors")
# Whoever builds and distributes the package names themselves here, as
# "Name <address>"; it also signs the Debian changelog. The default names no
# one: lintian says so (bogus-mail-host, for the control file and for the
# changelog), the only complaint that its test lets through.
set(MERAVEL_PACKAGE_MAINTAINER "The Meravel authors <meravel@localhost>" CACHE STRING
    "Maintainer of the Debian package, as \"Name <address>\"")
set(CPACK_PACKAGE_CONTACT "${MERAVEL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Down syndrome risk from maternal age")
# Written as the control file shows it: lines under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
"Meravel estimates, from the mother's age, the probability that a pregnancy
carried to term is affected by Down syndrome, by the Cuckle or the Hecht
maternal-age formula, and shows it as a percentage and as odds of 1 in N.
When N is below 250 it advises that amniocentesis may be justified. From a
gestational age in weeks it scales the odds with the gestational-age ratio
of Snijders et al. (1999).

The program speaks French.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION "science")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# dpkg-shlibdeps works out Depends from the libraries the executable links to.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so invisible to dpkg-shlibdeps: the scalable icon's
# engine, and Qt's own texts in French. Without qt6-wayland a Wayland desktop
# runs the program through XWayland.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# What only the Debian package carries, added to CPack's staging tree before
# it is packed (res/packaging/deb_extras.cmake): the Debian changelog, signed
# by the maintainer above, and lintian's overrides. The version has no Debian
# revision, so Debian takes the package as native, whose changelog is
# changelog.gz.
set(CPACK_MERAVEL_DEB_CHANGELOG ${PROJECT_BINARY_DIR}/res/packaging/changelog)
configure_file(${PROJECT_SOURCE_DIR}/res/packaging/changelog.in ${CPACK_MERAVEL_DEB_CHANGELOG} @ONLY)
set(CPACK_MERAVEL_LINTIAN_OVERRIDES ${PROJECT_SOURCE_DIR}/res/packaging/meravel.lintian-overrides)
set(CPACK_MERAVEL_GZIP ${MERAVEL_GZIP})
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/res/packaging/deb_extras.cmake)

# The same bytes at every build: every file dated the time of the last commit
# (res/packaging/cpack_project.cmake), the folders' modes set whatever the
# umask (res/packaging/deb_extras.cmake).
set(CPACK_MERAVEL_SOURCE_DATE_EPOCH ${MERAVEL_SOURCE_DATE_EPOCH})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/res/packaging/cpack_project.cmake)

include(CPack)

# Read by CPack before it makes a package (CPACK_PROJECT_CONFIG_FILE, set in
# cmake/Packaging.cmake). CPack dates every file of the Debian package, and
# the package's own parts, SOURCE_DATE_EPOCH when that is set: the time the
# build tree was configured with (cmake/Reproducible.cmake), so that the
# package is the same bytes whoever makes it and whenever.
set(ENV{SOURCE_DATE_EPOCH} "${CPACK_MERAVEL_SOURCE_DATE_EPOCH}")

# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) once the install rules have filled
# the staging tree and before the Debian package is packed: adds the files
# that only the package carries, and sets the folders' modes. Its inputs come
# from cmake/Packaging.cmake.

set(_usr "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT IS_DIRECTORY "${_usr}/share/doc/meravel")
    message(FATAL_ERROR "deb_extras: no share/doc/meravel under the staging tree ${_usr}")
endif()

# The Debian changelog, compressed as Debian wants it: gzip -9 without the
# name and time stamp.
execute_process(
    COMMAND "${CPACK_MERAVEL_GZIP}" -9n -c "${CPACK_MERAVEL_DEB_CHANGELOG}"
    OUTPUT_FILE "${_usr}/share/doc/meravel/changelog.gz"
    COMMAND_ERROR_IS_FATAL ANY)

file(MAKE_DIRECTORY "${_usr}/share/lintian/overrides")
file(COPY_FILE "${CPACK_MERAVEL_LINTIAN_OVERRIDES}" "${_usr}/share/lintian/overrides/meravel")
file(CHMOD "${_usr}/share/doc/meravel/changelog.gz" "${_usr}/share/lintian/overrides/meravel"
    PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# The install made the folders as the umask allows (700 under umask 077,
# which would hide the files from everyone but root); install() set the files'
# modes itself.
file(CHMOD_RECURSE "${CPACK_TEMPORARY_DIRECTORY}" DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

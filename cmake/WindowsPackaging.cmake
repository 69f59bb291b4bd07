# The Windows packages of Meravel, made in the Windows build tree (the one
# configured with the mingw-w64 toolchain, where the target `meravel` is the
# Win32 program):
#
#   meravel-<version>-x64.msi    Windows Installer package, per-machine
#                                (target `msi`, built by wixl from msitools)
#   meravel-<version>-win64.zip  portable copy: meravel-<version>/ holding
#                                meravel.exe and README.txt (target `portable`)
#
# LICENSE.txt joins README.txt in both when the file LICENSE exists at the
# top of the source tree, or when MERAVEL_LICENSE_FILE names another file.
# Both targets are part of `all`: each takes well under a second. Built twice
# from the same commit, they are the same bytes
# (res/packaging/windows_release.py).
#
# Given a code-signing certificate (MERAVEL_SIGN_PKCS12 and
# MERAVEL_SIGN_PASSWORD_FILE), the build signs the program before it goes
# into either package, then the installer, with Authenticode (osslsigncode).
#
# Included once from the Windows build's CMakeLists.txt.

get_filename_component(_meravel_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)

set(MERAVEL_LICENSE_FILE "" CACHE FILEPATH
    "Licence text shipped as LICENSE.txt in the Windows packages (empty: LICENSE at the top of the sources, if any)")
set(_meravel_license "${MERAVEL_LICENSE_FILE}")
if(NOT _meravel_license AND EXISTS "${_meravel_root}/LICENSE")
  set(_meravel_license "${_meravel_root}/LICENSE")
endif()
# (A LICENSE added later is picked up by the next configure.)

# Fixed for ever: a newer Meravel finds the installed one by it.
set(MERAVEL_MSI_UPGRADE_CODE "997290D0-F28D-46F2-88D0-092C55CB3807")
# One per version, the same at every build of that version.
string(UUID MERAVEL_MSI_PRODUCT_CODE
    NAMESPACE "${MERAVEL_MSI_UPGRADE_CODE}" NAME "Meravel ${PROJECT_VERSION} x64"
    TYPE SHA1 UPPER)
# The upgrade range ends before the next patch version: Windows Installer
# ignores the fourth field of a version. The package compares that field
# itself, as a whole number in a condition, where numbers stop at 32767.
math(EXPR _meravel_next_patch "${PROJECT_VERSION_PATCH} + 1")
set(MERAVEL_MSI_UPGRADE_BELOW
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${_meravel_next_patch}")
set(MERAVEL_MSI_BUILD "${PROJECT_VERSION_TWEAK}")
if(MERAVEL_MSI_BUILD STREQUAL "")
  set(MERAVEL_MSI_BUILD 0)
endif()
if(MERAVEL_MSI_BUILD GREATER 32767)
  message(FATAL_ERROR "The fourth field of the version (${MERAVEL_MSI_BUILD}) must stay below 32768")
endif()

# Each package copies its files into a folder of its own (a file made by one
# custom command and used by two targets would be made twice, at once, by a
# parallel make). wixl takes source paths relative to the .wxs; the zip is
# made of the folder meravel-<version>/.
set(_meravel_pkg "${CMAKE_BINARY_DIR}/windows-package")
set(_meravel_dir "meravel-${PROJECT_VERSION}")
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(_meravel_release "${Python3_EXECUTABLE}" "${_meravel_root}/res/packaging/windows_release.py")
set(_meravel_epoch "${MERAVEL_SOURCE_DATE_EPOCH}")
set(_meravel_exe "$<TARGET_FILE:meravel>")
set(_meravel_inputs meravel "$<TARGET_FILE:meravel>" "${_meravel_root}/README.md" ${_meravel_license}
    "${_meravel_root}/res/packaging/windows_release.py" "${CMAKE_CURRENT_LIST_FILE}")

# Authenticode signatures, by the certificate an organisation signs its
# programs with: a PKCS#12 file (.p12, .pfx) holding the certificate and its
# key, and a file holding the password. Nothing is signed when
# MERAVEL_SIGN_PKCS12 is empty, and nothing is ever asked.
set(MERAVEL_SIGN_PKCS12 "" CACHE FILEPATH
    "Code-signing certificate and key (PKCS#12) that sign meravel.exe and the installer; empty: nothing is signed")
set(MERAVEL_SIGN_PASSWORD_FILE "" CACHE FILEPATH
    "File holding the password of MERAVEL_SIGN_PKCS12 on its first line")
set(MERAVEL_SIGN_TIMESTAMP_URL "" CACHE STRING
    "RFC 3161 time-stamping server that dates the signatures, so that they outlive the certificate (empty: none)")
set(_meravel_sign "")
set(_meravel_sign_inputs "")
if(MERAVEL_SIGN_PKCS12)
  foreach(f MERAVEL_SIGN_PKCS12 MERAVEL_SIGN_PASSWORD_FILE)
    if(NOT ${f} OR NOT EXISTS "${${f}}")
      message(FATAL_ERROR "Signing needs MERAVEL_SIGN_PKCS12 and MERAVEL_SIGN_PASSWORD_FILE: no file ${f}='${${f}}'")
    endif()
  endforeach()
  find_program(MERAVEL_OSSLSIGNCODE osslsigncode)
  if(NOT MERAVEL_OSSLSIGNCODE)
    message(FATAL_ERROR "Signing needs osslsigncode (Debian package osslsigncode)")
  endif()
  set(_meravel_sign "${MERAVEL_OSSLSIGNCODE}" sign -pkcs12 "${MERAVEL_SIGN_PKCS12}"
      -readpass "${MERAVEL_SIGN_PASSWORD_FILE}" -h sha256)
  if(MERAVEL_SIGN_TIMESTAMP_URL)
    list(APPEND _meravel_sign -ts "${MERAVEL_SIGN_TIMESTAMP_URL}")
  endif()
  set(_meravel_sign_inputs "${MERAVEL_SIGN_PKCS12}" "${MERAVEL_SIGN_PASSWORD_FILE}")
  # The program is signed once, before either package takes it. The packages
  # wait for this target rather than name its file, which would give each of
  # them the signing rule to run, at the same time under a parallel make.
  set(_meravel_exe "${_meravel_pkg}/signed/meravel.exe")
  add_custom_command(OUTPUT "${_meravel_exe}"
      COMMAND ${CMAKE_COMMAND} -E rm -rf "${_meravel_pkg}/signed"
      COMMAND ${CMAKE_COMMAND} -E make_directory "${_meravel_pkg}/signed"
      COMMAND ${_meravel_sign} -n "Meravel" -in "$<TARGET_FILE:meravel>" -out "${_meravel_exe}"
      DEPENDS meravel "$<TARGET_FILE:meravel>" ${_meravel_sign_inputs}
      COMMENT "Signing meravel.exe"
      VERBATIM)
  add_custom_target(signed_exe DEPENDS "${_meravel_exe}")
  list(APPEND _meravel_inputs signed_exe ${_meravel_sign_inputs})
endif()

# The commands that fill STAGE/meravel-<version>/, in the list VAR.
function(_meravel_stage_commands stage var)
  set(to "${stage}/${_meravel_dir}")
  set(${var}
      COMMAND ${CMAKE_COMMAND} -E rm -rf "${to}"
      COMMAND ${_meravel_release} stage ${_meravel_epoch} "${to}" "${_meravel_exe}"
          "${_meravel_root}/README.md" ${_meravel_license}
      PARENT_SCOPE)
endfunction()

# The installer
set(_meravel_msi_stage "${_meravel_pkg}/msi")
set(MERAVEL_EXE "${_meravel_dir}/meravel.exe")
set(MERAVEL_README_TXT "${_meravel_dir}/README.txt")
# The program's icon file, written beside it when it is built, unless the
# including file names another in MERAVEL_ICO.
if(NOT MERAVEL_ICO)
  get_target_property(_meravel_exe_dir meravel BINARY_DIR)
  set(MERAVEL_ICO "${_meravel_exe_dir}/meravel.ico")
endif()
file(RELATIVE_PATH MERAVEL_MSI_ICON "${_meravel_msi_stage}" "${MERAVEL_ICO}")
set(_meravel_msi_files meravel.exe README.txt)
if(_meravel_license)
  set(MERAVEL_MSI_LICENSE_FILE
      "<File Id=\"LICENSE.txt\" Name=\"LICENSE.txt\" Source=\"${_meravel_dir}/LICENSE.txt\"/>")
  list(APPEND _meravel_msi_files LICENSE.txt)
else()
  set(MERAVEL_MSI_LICENSE_FILE "<!-- no LICENSE in the sources -->")
endif()
configure_file("${_meravel_root}/res/packaging/meravel.wxs.in"
    "${_meravel_msi_stage}/meravel.wxs" @ONLY)
# What the package is made of, from which its package code is made.
set(_meravel_msi_inputs meravel.wxs "${MERAVEL_ICO}")
foreach(f IN LISTS _meravel_msi_files)
  list(APPEND _meravel_msi_inputs "${_meravel_dir}/${f}")
endforeach()

set(MERAVEL_MSI "${CMAKE_BINARY_DIR}/meravel-${PROJECT_VERSION}-x64.msi")
find_program(MERAVEL_WIXL wixl)
find_program(MERAVEL_MSIBUILD msibuild)
if(MERAVEL_WIXL AND MERAVEL_MSIBUILD)
  _meravel_stage_commands("${_meravel_msi_stage}" _meravel_msi_staging)
  set(_meravel_msi_made "${_meravel_msi_stage}/meravel.msi")
  set(_meravel_msi_signing "")
  if(_meravel_sign)
    # Signed last: the signature covers every stream, the summary included.
    set(_meravel_msi_signing
        COMMAND ${_meravel_sign} -n "Meravel ${PROJECT_VERSION}"
            -in "${_meravel_msi_made}" -out "${_meravel_msi_made}.signed"
        COMMAND ${CMAKE_COMMAND} -E rename "${_meravel_msi_made}.signed" "${_meravel_msi_made}")
  endif()
  add_custom_command(OUTPUT "${MERAVEL_MSI}"
      ${_meravel_msi_staging}
      COMMAND ${CMAKE_COMMAND} -E rm -f "${_meravel_msi_made}" "${_meravel_msi_made}.signed" "${MERAVEL_MSI}"
      # The cabinet keeps the files' dates as local times: read in UTC.
      COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
          "${MERAVEL_WIXL}" --arch x64 -o "${_meravel_msi_made}" meravel.wxs
      # wixl always writes English (1033) as the package's language.
      COMMAND "${MERAVEL_MSIBUILD}" "${_meravel_msi_made}"
          -s "Meravel ${PROJECT_VERSION} (x64)" "les auteurs de Meravel" "x64;1036"
      COMMAND ${_meravel_release} msi ${_meravel_epoch} "${_meravel_msi_made}"
          "${MERAVEL_MSI_UPGRADE_CODE}" ${_meravel_msi_inputs}
      ${_meravel_msi_signing}
      COMMAND ${CMAKE_COMMAND} -E rename "${_meravel_msi_made}" "${MERAVEL_MSI}"
      DEPENDS ${_meravel_inputs} "${_meravel_msi_stage}/meravel.wxs" "${MERAVEL_ICO}"
      WORKING_DIRECTORY "${_meravel_msi_stage}"
      COMMENT "Building the installer ${MERAVEL_MSI}"
      VERBATIM)
  add_custom_target(msi ALL DEPENDS "${MERAVEL_MSI}")
else()
  add_custom_target(msi
      COMMAND ${CMAKE_COMMAND} -E echo "wixl or msibuild is missing: install the Debian packages wixl and msitools"
      COMMAND ${CMAKE_COMMAND} -E false
      VERBATIM)
endif()

# The portable copy
set(_meravel_zip_stage "${_meravel_pkg}/zip")
set(MERAVEL_PORTABLE_ZIP "${CMAKE_BINARY_DIR}/meravel-${PROJECT_VERSION}-win64.zip")
_meravel_stage_commands("${_meravel_zip_stage}" _meravel_zip_staging)
add_custom_command(OUTPUT "${MERAVEL_PORTABLE_ZIP}"
    ${_meravel_zip_staging}
    COMMAND ${_meravel_release} zip ${_meravel_epoch} "${MERAVEL_PORTABLE_ZIP}"
        "${_meravel_zip_stage}/${_meravel_dir}"
    DEPENDS ${_meravel_inputs}
    COMMENT "Building the portable copy ${MERAVEL_PORTABLE_ZIP}"
    VERBATIM)
add_custom_target(portable ALL DEPENDS "${MERAVEL_PORTABLE_ZIP}")

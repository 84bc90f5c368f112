# The Debian package: velkaro-pdf2word_<version>_amd64.deb with everything the
# install rules put under /usr (the program folder, the links in bin/, the
# desktop entry and its icons). Built by the "deb" target, which builds only
# the two programs and not the tests:
#   cmake --build <build> --target deb
# Run-time dependencies are read from the programs by dpkg-shlibdeps (package
# dpkg-dev), so they follow whatever the build links.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velkaro-pdf2word)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Velkaro <packages@velkaro.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "batch converter of PDF files into Word 97-2003 documents")
set(CPACK_PACKAGE_DESCRIPTION
    "VelkaroPDF转换成Word转换器: a desktop tool that converts PDF files into
Word 97-2003 documents (.doc) in batches, with its own command-line
converter pwt.")
# The DEB generator stages with DESTDIR, so CMAKE_INSTALL_PREFIX is /usr while
# installing and the desktop entry names /usr/bin/velkaro-pdf2word.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installed programs without their debugging information.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not seen by dpkg-shlibdeps: the CJK font the window's Chinese texts are
# drawn with, xdg-open, through which the output folder is opened, and the
# language data the recognition of scanned pages (converter/ocr) reads by
# default (chi_sim+eng, and osd for orientation); text PDFs need none of them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-noto-cjk, xdg-utils, tesseract-ocr-chi-sim, tesseract-ocr-eng, tesseract-ocr-osd")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Without dpkg-shlibdeps CPack quietly writes a package that depends on
# nothing; it has to stop instead.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackRequirements.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} CONTENT [[
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(dpkg_shlibdeps dpkg-shlibdeps)
  if(NOT dpkg_shlibdeps)
    message(FATAL_ERROR "dpkg-shlibdeps (package dpkg-dev) is needed to find the package's dependencies")
  endif()
endif()
]])

# CPack installs through the "preinstall" target, which would otherwise build
# everything, tests and benchmarks included; the "deb" target below builds
# what the package holds. "cmake --install" never builds, so only "make
# install" sees this: it installs what was built.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

include(CPack)

add_custom_target(deb
  COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Building the Debian package"
  VERBATIM)
add_dependencies(deb velkaro-pdf2word pwt)

# `cpack -G DEB` (in the build tree) makes two Debian packages of the install components:
# libzovrin<major> with the shared libraries (their Debian dependencies read off the libraries by
# dpkg-shlibdeps) and libzovrin-dev with the headers, the CMake package and the pkg-config files.
set(CPACK_PACKAGE_NAME zovrin)
set(CPACK_PACKAGE_VENDOR "Zovrin")
set(CPACK_PACKAGE_CONTACT "Zovrin developers <zovrin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Data-aware desktop components for C++: data grid, field visions, datasets")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL runtime dev)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
# Debug information stays in the build tree; the packages carry stripped libraries.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME "libzovrin${PROJECT_VERSION_MAJOR}")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
# The Qt backend loads the DejaVu fonts by path, so that text measures the same everywhere.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "The runtime package zv40c6 (host layer, headless backend, grid, visions, datasets), the Qt 6 backend and the PostgreSQL dataset")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libzovrin-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
# The headers need nothing beyond the C++ library; the CMake target Zovrin::qt finds Qt 6's.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libzovrin${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEV_PACKAGE_RECOMMENDS "qt6-base-dev, cmake (>= 3.25), pkg-config")
set(CPACK_COMPONENT_DEV_DESCRIPTION
  "Headers, the CMake package Zovrin and the pkg-config files zovrin, zovrin-qt and zovrin-pg")

include(CPack)

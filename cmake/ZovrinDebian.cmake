# `cpack -G DEB` (in the build tree) makes three Debian packages of the install components:
# libzovrin<major> with the stripped shared libraries (their Debian dependencies read off the
# libraries by dpkg-shlibdeps), libzovrin<major>-dbg with their debug information and
# libzovrin-dev with the headers, the CMake package and the pkg-config files.
set(CPACK_PACKAGE_NAME zovrin)
set(CPACK_PACKAGE_VENDOR "Zovrin")
set(CPACK_PACKAGE_CONTACT "Zovrin developers <zovrin@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Data-aware desktop components for C++: data grid, field visions, datasets")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_COMPONENTS_ALL runtime dev dbg)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME "libzovrin${PROJECT_VERSION_MAJOR}")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
# The Qt backend loads the DejaVu fonts by path, so that text measures the same everywhere.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "fonts-dejavu-core")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION
  "The runtime package zv40c6 (host layer, headless backend, grid, visions, datasets), the Qt 6 backend, the PostgreSQL dataset and the design-time host")

# The install strips the libraries itself and keeps their debug information for this package,
# in /usr/lib/.debug where gdb looks for a library's debug link.
set(CPACK_DEBIAN_DBG_PACKAGE_NAME "libzovrin${PROJECT_VERSION_MAJOR}-dbg")
set(CPACK_DEBIAN_DBG_PACKAGE_SECTION debug)
set(CPACK_DEBIAN_DBG_PACKAGE_DEPENDS "libzovrin${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
set(CPACK_COMPONENT_DBG_DESCRIPTION "Debug information of the libraries of libzovrin${PROJECT_VERSION_MAJOR}")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libzovrin-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
# The headers need nothing beyond the C++ library but the Qt backend's, which hand out Qt GUI
# classes: the CMake target Zovrin::qt finds Qt 6 and brings its headers.
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libzovrin${PROJECT_VERSION_MAJOR} (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEV_PACKAGE_RECOMMENDS "qt6-base-dev, cmake (>= 3.25), pkg-config")
set(CPACK_COMPONENT_DEV_DESCRIPTION
  "Headers, the CMake package Zovrin and the pkg-config files zovrin, zovrin-qt, zovrin-pg and zovrin-design")

include(CPack)

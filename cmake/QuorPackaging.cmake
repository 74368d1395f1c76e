# Debian packages, one per install component: `cpack` in a build tree.
#   libquor0     runtime: libquor.so.0 and libquor-platform.so.0
#   libquor-dev  headers, the unversioned library links, quor.pc, the CMake package
#   quor-tools   the host programs
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "quor developers <quor@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "HTML5 video plugin and process runtime of the television")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev programs)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libquor0)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libquor-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME quor-tools)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION utils)

# The dev and programs packages require the runtime of the very same version.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_DEV_DEPENDS runtime)
set(CPACK_COMPONENT_PROGRAMS_DEPENDS runtime)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "libboost-dev")

if(CMAKE_CROSSCOMPILING)
    # dpkg-shlibdeps reads the host's package database, which knows nothing
    # of the target's libraries: name them.
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libc6 (>= 2.34), libstdc++6 (>= 12), libgcc-s1, libglib2.0-0 (>= 2.56)")
    set(CPACK_DEBIAN_PROGRAMS_PACKAGE_DEPENDS "libc6 (>= 2.34), libstdc++6 (>= 12), libglib2.0-0 (>= 2.56)")
else()
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # Our own libraries are in libquor0, not in a package dpkg knows.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR})
endif()
set(CPACK_DEBIAN_RUNTIME_PACKAGE_GENERATE_SHLIBS ON)

include(CPack)

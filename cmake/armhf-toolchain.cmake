# Cross build for 32-bit ARM Linux (armhf) with Debian's cross compiler.
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/armhf-toolchain.cmake
#         -DQUOR_ARMHF_SYSROOT=<unpacked armhf packages> ...
# scripts/test --armhf prepares the system root (scripts/lib/armhf.sh). The
# tests run under qemu's user-mode emulation inside that root.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)

# try_compile projects read the toolchain file again: hand the root down.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUOR_ARMHF_SYSROOT)
if(NOT QUOR_ARMHF_SYSROOT)
    message(FATAL_ERROR "QUOR_ARMHF_SYSROOT must name the unpacked armhf packages")
endif()
set(root ${QUOR_ARMHF_SYSROOT})
set(libdirs ${root}/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE} ${root}/lib/${CMAKE_LIBRARY_ARCHITECTURE})

# Libraries and CMake packages only from the target's root; headers from it
# and the host (Boost is header-only); programs from the host.
set(CMAKE_FIND_ROOT_PATH ${root})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${root})
set(ENV{PKG_CONFIG_LIBDIR} ${root}/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/pkgconfig:${root}/usr/share/pkgconfig)

# The linker follows the dependencies of the root's libraries (glib's pcre2).
list(JOIN libdirs ":" rpath_link)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,-rpath-link,${rpath_link}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,-rpath-link,${rpath_link}")

# Test programs run under emulation with the target's root as their /.
find_program(QUOR_QEMU_ARM qemu-arm-static REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUOR_QEMU_ARM} -L ${root})

set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE armhf)

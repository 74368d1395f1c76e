# Installation of the libraries, public headers and programs. Components:
# runtime (the shared libraries), dev (headers, pkg-config file, CMake
# package) and programs; each becomes one Debian package (QuorPackaging.cmake).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# quor_install_library(<target>): a shared library with SONAME and version,
# exported to the CMake package as quor::<EXPORT_NAME>. It finds its sibling
# libraries beside itself, wherever the tree is installed.
function(quor_install_library target)
    set_target_properties(${target} PROPERTIES
        VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR} INSTALL_RPATH "$ORIGIN")
    target_include_directories(${target}
        INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/quor>)
    install(TARGETS ${target} EXPORT quorTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev)
endfunction()

# quor_install_headers([EXCEPT <header>...]): installs the headers of the
# calling source folder under include/quor/<folder>/, all of them but the
# internal ones named after EXCEPT. Consumers include them as the sources do
# ("runtime/CQuorMsg.h"); every header a public header includes must be public.
function(quor_install_headers)
    cmake_parse_arguments(H "" "" "EXCEPT" ${ARGN})
    file(GLOB headers RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    foreach(internal IN LISTS H_EXCEPT)
        if(NOT internal IN_LIST headers)
            message(FATAL_ERROR "quor_install_headers: no header ${internal} here")
        endif()
    endforeach()
    list(REMOVE_ITEM headers ${H_EXCEPT})
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    install(FILES ${headers} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/quor/${folder}
            COMPONENT dev)
endfunction()

# quor_install_program(<target>): a host program in bin/, finding the
# libraries of its own installation.
function(quor_install_program target)
    file(RELATIVE_PATH to_libdir ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${to_libdir}")
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
endfunction()

# The pkg-config file and the CMake package; call once, after the libraries.
function(quor_install_package)
    set(cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/quor)
    install(EXPORT quorTargets NAMESPACE quor:: DESTINATION ${cmake_dir} COMPONENT dev)
    configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/quorConfig.cmake.in
        ${PROJECT_BINARY_DIR}/quorConfig.cmake INSTALL_DESTINATION ${cmake_dir})
    # 0.x: only the same minor version is compatible.
    write_basic_package_version_file(${PROJECT_BINARY_DIR}/quorConfigVersion.cmake
        COMPATIBILITY SameMinorVersion)
    install(FILES ${PROJECT_BINARY_DIR}/quorConfig.cmake
                  ${PROJECT_BINARY_DIR}/quorConfigVersion.cmake
            DESTINATION ${cmake_dir} COMPONENT dev)

    # pkg-config finds the prefix from the file's own place: the tree can be
    # installed under any prefix (cmake --install --prefix, a package, a
    # target root file system).
    set(pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
    file(RELATIVE_PATH QUOR_PC_TO_PREFIX /${pc_dir} /)
    string(REGEX REPLACE "/$" "" QUOR_PC_TO_PREFIX ${QUOR_PC_TO_PREFIX})
    configure_file(${PROJECT_SOURCE_DIR}/cmake/quor.pc.in ${PROJECT_BINARY_DIR}/quor.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/quor.pc DESTINATION ${pc_dir} COMPONENT dev)
endfunction()

# BrackmoorInstall.cmake - installs the library, its headers, the demonstration and its data, and
# the CMake and pkg-config package files through which other projects build on the engine.
include(CMakePackageConfigHelpers)

# Brackmoor.h and every header of src/ it reaches through quoted includes, so a header added to
# the umbrella is installed with it. Headers sit in a folder per concern and are installed side by
# side, as they are named in the code.
function(brackmoor_header_path header out)
    set(${out} "" PARENT_SCOPE)
    foreach(folder IN ITEMS src src/engine src/lightwave src/images src/support)
        if(EXISTS "${PROJECT_SOURCE_DIR}/${folder}/${header}")
            set(${out} "${PROJECT_SOURCE_DIR}/${folder}/${header}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
endfunction()

function(brackmoor_public_headers out)
    brackmoor_header_path(Brackmoor.h umbrella)
    set(found "${umbrella}")
    set(pending "${umbrella}")
    while(pending)
        list(POP_FRONT pending path)
        file(STRINGS "${path}" includes REGEX "^#include \"")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
            brackmoor_header_path("${included}" included_path)
            if(included_path AND NOT included_path IN_LIST found)
                list(APPEND found "${included_path}")
                list(APPEND pending "${included_path}")
            endif()
        endforeach()
    endwhile()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

brackmoor_public_headers(BRACKMOOR_PUBLIC_HEADERS)
install(FILES ${BRACKMOOR_PUBLIC_HEADERS} "${PROJECT_BINARY_DIR}/include/BrackmoorVersion.h"
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/brackmoor)
install(TARGETS brackmoor EXPORT BrackmoorTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

# The demonstration reads its data from the working directory: cd share/brackmoor to run it.
install(TARGETS BrackmoorDemoWin32 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES "${PROJECT_SOURCE_DIR}/data/Zarodoru.lwo" "${PROJECT_SOURCE_DIR}/data/RAWTest"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/brackmoor)

# The viewer is installed once a brackmoor-view target exists. The check waits until the top
# directory is complete, so the target may be defined anywhere in the project.
function(brackmoor_install_viewer)
    if(TARGET brackmoor-view)
        install(TARGETS brackmoor-view RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endfunction()
cmake_language(DEFER CALL brackmoor_install_viewer)

# find_package(Brackmoor) gives Brackmoor::brackmoor; a request for another major version fails.
set(BRACKMOOR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Brackmoor)
install(EXPORT BrackmoorTargets NAMESPACE Brackmoor:: DESTINATION ${BRACKMOOR_CMAKE_DIR})
configure_package_config_file(cmake/BrackmoorConfig.cmake.in BrackmoorConfig.cmake
                              INSTALL_DESTINATION ${BRACKMOOR_CMAKE_DIR})
write_basic_package_version_file(BrackmoorConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/BrackmoorConfig.cmake"
              "${PROJECT_BINARY_DIR}/BrackmoorConfigVersion.cmake"
        DESTINATION ${BRACKMOOR_CMAKE_DIR})

# pkg-config finds the prefix from where brackmoor.pc lies, so the installed tree can move.
file(RELATIVE_PATH pc_to_prefix "${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig" "${CMAKE_INSTALL_PREFIX}")
string(REGEX REPLACE "/$" "" BRACKMOOR_PC_TO_PREFIX "${pc_to_prefix}")
configure_file(cmake/brackmoor.pc.in brackmoor.pc @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/brackmoor.pc" DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

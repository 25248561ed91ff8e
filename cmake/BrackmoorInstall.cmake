# BrackmoorInstall.cmake - installs the library, its headers, the demonstration and its data.

# Brackmoor.h and every header of src/ it reaches through quoted includes, so a header added to
# the umbrella is installed with it.
function(brackmoor_public_headers out)
    set(found Brackmoor.h)
    set(pending Brackmoor.h)
    while(pending)
        list(POP_FRONT pending header)
        file(STRINGS "${PROJECT_SOURCE_DIR}/src/${header}" includes REGEX "^#include \"")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
            if(EXISTS "${PROJECT_SOURCE_DIR}/src/${included}" AND NOT included IN_LIST found)
                list(APPEND found "${included}")
                list(APPEND pending "${included}")
            endif()
        endforeach()
    endwhile()
    list(TRANSFORM found PREPEND "${PROJECT_SOURCE_DIR}/src/")
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

brackmoor_public_headers(BRACKMOOR_PUBLIC_HEADERS)
install(FILES ${BRACKMOOR_PUBLIC_HEADERS} "${PROJECT_BINARY_DIR}/include/BrackmoorVersion.h"
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/brackmoor)
install(TARGETS brackmoor ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

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

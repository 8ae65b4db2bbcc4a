# Installs the build into a fresh prefix and checks that the binary, its engine module (in LIBDIR,
# relative to the prefix), the desktop entry and every icon size arrive where freedesktop.org
# desktops look, each PNG drawn at its own size.
#   cmake -DBUILD_DIR=<build> -DPREFIX=<empty folder> -DLIBDIR=<lib folder> -P CheckInstall.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}")
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()

set(expected bin/pagewright ${LIBDIR}/pagewright/pagewright-webengine.so
    share/applications/pagewright.desktop
    share/icons/hicolor/scalable/apps/pagewright.svg)
foreach(size 16 22 24 32 48 64 128 256)
    set(png share/icons/hicolor/${size}x${size}/apps/pagewright.png)
    list(APPEND expected ${png})
    # A PNG's width and height are the two big-endian words at byte 16 of its header.
    file(READ "${PREFIX}/${png}" header OFFSET 16 LIMIT 8 HEX)
    math(EXPR wanted "${size}" OUTPUT_FORMAT HEXADECIMAL)
    string(REPLACE "0x" "" wanted "${wanted}")
    string(LENGTH "${wanted}" digits)
    while(digits LESS 8)
        string(PREPEND wanted "0")
        math(EXPR digits "${digits} + 1")
    endwhile()
    if(NOT header STREQUAL "${wanted}${wanted}")
        message(FATAL_ERROR "${png} is not ${size} x ${size} (header ${header})")
    endif()
endforeach()
foreach(file IN LISTS expected)
    if(NOT EXISTS "${PREFIX}/${file}")
        message(FATAL_ERROR "not installed: ${file}")
    endif()
    string(FIND "${output}" "${PREFIX}/${file}" listed)
    if(listed EQUAL -1)
        message(FATAL_ERROR "not listed by the install: ${file}")
    endif()
endforeach()

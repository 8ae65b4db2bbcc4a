# The Debian package: `cpack -G DEB` in a build folder writes pagewright_VERSION_ARCH.deb from the
# install rules. Besides the program, its engine module, the desktop entry and the icons, the
# package carries the AppStream metadata that software centres read, the manual page in English
# and Russian, and the copyright file and changelog that every Debian package ships.
find_program(GZIP_PROGRAM gzip REQUIRED)

set(PAGEWRIGHT_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/pagewright)
set(PAGEWRIGHT_METAINFO_ID org.pagewright.Pagewright)

# Debian compresses manual pages and changelogs with gzip -9n (no name or time stamp inside, so
# that two builds give the same bytes).
function(pagewright_gzip source compressed)
    add_custom_command(OUTPUT ${compressed}
        COMMAND sh -c "\"$0\" -9n -c \"$1\" > \"$2\"" ${GZIP_PROGRAM} ${source} ${compressed}
        DEPENDS ${source}
        VERBATIM)
endfunction()

# The manual pages carry the project version.
set(PAGEWRIGHT_PACKAGE_FILES)
foreach(lang en ru)
    if(lang STREQUAL "en")
        set(page_dir man)
        set(man_dest ${CMAKE_INSTALL_MANDIR}/man1)
    else()
        set(page_dir man/${lang})
        set(man_dest ${CMAKE_INSTALL_MANDIR}/${lang}/man1)
    endif()
    set(page ${PROJECT_BINARY_DIR}/${page_dir}/pagewright.1)
    configure_file(${PROJECT_SOURCE_DIR}/doc/${page_dir}/pagewright.1.in ${page} @ONLY)
    pagewright_gzip(${page} ${page}.gz)
    list(APPEND PAGEWRIGHT_PACKAGE_FILES ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${man_dest})
endforeach()

file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/doc)
set(PAGEWRIGHT_CHANGELOG ${PROJECT_BINARY_DIR}/doc/changelog.gz)
pagewright_gzip(${PROJECT_SOURCE_DIR}/doc/changelog ${PAGEWRIGHT_CHANGELOG})
list(APPEND PAGEWRIGHT_PACKAGE_FILES ${PAGEWRIGHT_CHANGELOG})
add_custom_target(pagewright_package_files ALL DEPENDS ${PAGEWRIGHT_PACKAGE_FILES})

install(FILES ${PAGEWRIGHT_CHANGELOG} ${PROJECT_SOURCE_DIR}/doc/copyright
    DESTINATION ${PAGEWRIGHT_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/${PAGEWRIGHT_METAINFO_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pagewright)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Pagewright developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "HTML source editor with a browser preview")
# Debian shows the description as it stands, so its lines are broken here.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Pagewright edits the HTML source of one page as plain text and shows the"
    "saved page, rendered by a real web engine, in a preview pane above it. It"
    "keeps every byte of a document as it was read (Windows-1251, UTF-8 or"
    "UTF-16, any line ends), and comes with a full-screen preview, find and"
    "replace, a template wizard and chooser, a colour helper and a screen lens."
    "Its user interface is in Russian.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Pagewright developers <pagewright@users.noreply.github.com>")
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the program and its module link come from dpkg-shlibdeps; the dictionaries that
# spell checking reads are data, not libraries, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hunspell-ru, hunspell-en-us, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

# What the package check needs to know about this build, for ctest and scripts/package.sh alike.
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/package-check.env CONTENT "\
BUILD_DIR='${PROJECT_BINARY_DIR}'
PW='$<TARGET_FILE:pagewright>'
VERSION='${PROJECT_VERSION}'
LIBDIR='${CMAKE_INSTALL_LIBDIR}'
METAINFO_ID='${PAGEWRIGHT_METAINFO_ID}'
")

# Packs this build folder and checks the package: its files, its dependencies, the manual pages
# against the program's own help, and what Debian's and freedesktop.org's validators say.
if(PAGEWRIGHT_TESTS AND PAGEWRIGHT_E2E)
    add_test(NAME debian_package COMMAND bash ${PROJECT_SOURCE_DIR}/tests/package/check-package.sh
        ${PROJECT_BINARY_DIR}/package-check.env)
    set_tests_properties(debian_package PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
endif()

# Installation and the Debian package.
#
# The programs are installed by target name once every directory has been
# read (a deferred call), so this file may be included before they exist.
# An installed copy keeps its files in the per-user data folder; nothing
# here is written to at run time.
include(GNUInstallDirs)

set(LT_PROGRAMS linktrawler linktrawl)

function(lt_install_programs)
  foreach(program IN LISTS LT_PROGRAMS)
    if(TARGET ${program})
      install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT linktrawler)
    else()
      message(STATUS "Packaging: no target ${program}, not installed")
    endif()
  endforeach()
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL lt_install_programs)

install(FILES ${PROJECT_SOURCE_DIR}/packaging/linktrawler.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT linktrawler)

# The copyright file and the changelog every Debian package carries; the
# changelog compressed the way Debian wants it (-9, no name or time stamp).
set(LT_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/linktrawler)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  COMMAND gzip -9nc changelog > changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/packaging
  VERBATIM)
add_custom_target(lt_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${LT_DOC_DIR} COMPONENT linktrawler)
include(${CMAKE_CURRENT_LIST_DIR}/ManPages.cmake)

foreach(size 16 22 24 32 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/hicolor/${size}x${size}/apps/linktrawler.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps COMPONENT linktrawler)
endforeach()

set(CPACK_PACKAGE_NAME linktrawler)
set(CPACK_PACKAGE_VENDOR "LinkTrawler developers")
set(CPACK_PACKAGE_CONTACT "LinkTrawler developers <linktrawler@example.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Harvest the links of many web pages, filtered by rules")
# Lines of the long description stay under 80 characters.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "LinkTrawler loads each address of a list into an embedded web browser,\n"
       "collects the links of every page, keeps those that pass the user's rules\n"
       "and lists them. It also writes numbered forum page address lists.")
set(CPACK_PACKAGE_HOMEPAGE_URL "http://www.example.com/")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so not found by the library scan.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Chinese fonts for the captions, and Qt's own texts in Chinese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, qt6-translations-l10n")
# The desktop menu and icon caches are refreshed by the triggers of the
# packages that own them, so no maintainer scripts are needed.
set(CPACK_STRIP_FILES ON)
include(CPack)

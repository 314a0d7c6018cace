# The manual pages of the package: linktrawler.1 is written by hand,
# linktrawl.1 is made by help2man from linktrawl --help and --version, so it
# never lags behind the options. Both are gzipped as Debian wants them
# (-9, no name or time stamp). Included by Packaging.cmake.
set(LT_MAN_DIR ${PROJECT_BINARY_DIR}/packaging/man)
file(MAKE_DIRECTORY ${LT_MAN_DIR})
add_custom_command(
  OUTPUT ${LT_MAN_DIR}/linktrawler.1.gz
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/linktrawler.1 > linktrawler.1.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/linktrawler.1
  WORKING_DIRECTORY ${LT_MAN_DIR}
  VERBATIM)

find_program(LT_HELP2MAN help2man)
if(NOT LT_HELP2MAN)
  message(WARNING "help2man missing (scripts/setup.sh installs it): no manual page for linktrawl")
endif()

# The targets are defined further on, so this runs once every directory has
# been read.
function(lt_man_pages)
  if(TARGET lt_headless)
    # What linktrawl --version shows, and help2man puts in the page.
    target_compile_definitions(lt_headless PRIVATE LT_VERSION="${PROJECT_VERSION}")
  endif()
  set(pages ${LT_MAN_DIR}/linktrawler.1.gz)
  if(LT_HELP2MAN AND TARGET linktrawl)
    # In help2man's usual C locale the Chinese caption of the help would
    # come out as question marks.
    add_custom_command(
      OUTPUT ${LT_MAN_DIR}/linktrawl.1.gz
      COMMAND ${LT_HELP2MAN} --no-info --locale=C.UTF-8 --section=1 --source=LinkTrawler "--manual=User Commands"
              "--name=harvest the links of many web pages without a window"
              --include=${PROJECT_SOURCE_DIR}/packaging/linktrawl.h2m
              --output=linktrawl.1 $<TARGET_FILE:linktrawl>
      COMMAND gzip -9nf linktrawl.1
      DEPENDS linktrawl ${PROJECT_SOURCE_DIR}/packaging/linktrawl.h2m
      WORKING_DIRECTORY ${LT_MAN_DIR}
      COMMENT "Writing the manual page of linktrawl with help2man"
      VERBATIM)
    list(APPEND pages ${LT_MAN_DIR}/linktrawl.1.gz)
  endif()
  add_custom_target(lt_man_pages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT linktrawler)
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL lt_man_pages)

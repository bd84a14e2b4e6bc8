# What `cmake --install` puts on a machine: the programs, the desktop entry,
# the application icon (SVG and the hicolor PNG sizes), the AppStream
# metadata, a manual page per program, the licence and the changelog.
# Included at the end of the top CMakeLists.txt, once every program exists.

include(GNUInstallDirs)

# Where the project lives. The screenshots of the AppStream metadata are the
# README's, served from the repository's files.
set(VELMORA_HOMEPAGE "https://velmora.example.org" CACHE STRING "The project's web address")
set(VELMORA_FILES_URL "${VELMORA_HOMEPAGE}/raw/main" CACHE STRING "Where the repository's files are served")
set(VELMORA_MAINTAINER "The Velmora developers <velmora@example.org>" CACHE STRING "Who answers for the package")
# The desktop's name of the panel: desktop entry, icon and metadata are named by it.
set(VELMORA_APP_ID "org.example.velmora")
set(VELMORA_ICON_SIZES 16 22 24 32 48 64 128 256)

# The programs installed, each with the line that names its manual page.
set(VELMORA_SUMMARY_velmora "control panel for a five-input presentation switcher")
set(VELMORA_SUMMARY_velmora-sim "simulated five-input presentation switcher")
set(VELMORA_SUMMARY_velmoractl "set a five-input presentation switcher from the command line")
set(VELMORA_PROGRAMS)
foreach(program velmora velmora-sim velmoractl)
  if(TARGET ${program})
    list(APPEND VELMORA_PROGRAMS ${program})
  endif()
endforeach()
install(TARGETS ${VELMORA_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The panel tells the desktop which entry its window belongs to.
target_compile_definitions(velmora PRIVATE VELMORA_APP_ID="${VELMORA_APP_ID}")
# Installed programs resolve their symbols at start, so their relocation
# tables can be read-only.
foreach(program ${VELMORA_PROGRAMS})
  target_link_options(${program} PRIVATE LINKER:-z,relro,-z,now)
endforeach()

# The release date is the one the changelog gives the version.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
string(REPLACE "." "\\." _version_pattern "${PROJECT_VERSION}")
file(STRINGS ${PROJECT_SOURCE_DIR}/CHANGELOG.md _release ENCODING UTF-8 REGEX "^## ${_version_pattern} ")
string(REGEX MATCH "[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]" VELMORA_RELEASE_DATE "${_release}")
if(NOT VELMORA_RELEASE_DATE)
  message(FATAL_ERROR "CHANGELOG.md has no \"## ${PROJECT_VERSION} — YYYY-MM-DD\" heading for this version")
endif()
string(SUBSTRING "${VELMORA_RELEASE_DATE}" 0 4 VELMORA_COPYRIGHT_YEARS)

set(_data ${PROJECT_BINARY_DIR}/data)

# Desktop entry and AppStream metadata.
configure_file(data/velmora.desktop.in ${_data}/${VELMORA_APP_ID}.desktop @ONLY)
install(FILES ${_data}/${VELMORA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
list(TRANSFORM VELMORA_PROGRAMS REPLACE "(.+)" "    <binary>\\1</binary>" OUTPUT_VARIABLE _provides)
list(JOIN _provides "\n" VELMORA_PROVIDES)
configure_file(data/velmora.metainfo.xml.in ${_data}/${VELMORA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${_data}/${VELMORA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The application icon, drawn at build time by the panel's own artwork.
add_executable(velmora-icon-files tools/icon_files.cpp)
target_link_libraries(velmora-icon-files PRIVATE velmora_res)
set(_icons ${_data}/icons)
set(_svg ${_icons}/scalable/apps/${VELMORA_APP_ID}.svg)
set(_icon_files ${_svg})
install(FILES ${_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size ${VELMORA_ICON_SIZES})
  set(_png ${_icons}/${size}x${size}/apps/${VELMORA_APP_ID}.png)
  list(APPEND _icon_files ${_png})
  install(FILES ${_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_command(OUTPUT ${_icon_files}
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:velmora-icon-files> ${_icons} ${VELMORA_APP_ID} ${VELMORA_ICON_SIZES}
  DEPENDS velmora-icon-files
  COMMENT "Drawing the application icon files"
  VERBATIM)
add_custom_target(velmora-icons ALL DEPENDS ${_icon_files})

# A manual page per program from its --help and --version, with the sections
# of data/man/<program>.h2m where there is one. Dated by the release, so that
# a rebuild gives the same pages.
find_program(HELP2MAN help2man)
find_program(GZIP gzip REQUIRED)
set(_man_pages)
if(HELP2MAN)
  execute_process(COMMAND date -u -d ${VELMORA_RELEASE_DATE} +%s
                  OUTPUT_VARIABLE _release_epoch OUTPUT_STRIP_TRAILING_WHITESPACE)
  foreach(program ${VELMORA_PROGRAMS})
    set(_page ${_data}/man/${program}.1)
    set(_options --no-info --output ${_page})
    if(DEFINED VELMORA_SUMMARY_${program})
      list(APPEND _options --name ${VELMORA_SUMMARY_${program}})
    endif()
    set(_sections ${PROJECT_SOURCE_DIR}/data/man/${program}.h2m)
    if(EXISTS ${_sections})
      list(APPEND _options --include ${_sections})
    else()
      set(_sections)
    endif()
    add_custom_command(OUTPUT ${_page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${_data}/man
      COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 SOURCE_DATE_EPOCH=${_release_epoch}
              ${HELP2MAN} ${_options} $<TARGET_FILE:${program}>
      COMMAND ${GZIP} -9nf ${_page}
      DEPENDS ${program} ${_sections}
      COMMENT "Writing the manual page of ${program}"
      VERBATIM)
    list(APPEND _man_pages ${_page}.gz)
    install(FILES ${_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endforeach()
  add_custom_target(velmora-man-pages ALL DEPENDS ${_man_pages})
else()
  message(WARNING "help2man is missing: no manual pages (./x installs it)")
endif()

# Licence and changelog, where a Debian system keeps them; the changelog in
# Debian's form, made from CHANGELOG.md.
configure_file(data/copyright.in ${_data}/copyright @ONLY)
find_program(AWK awk REQUIRED)
add_custom_command(OUTPUT ${_data}/changelog.gz
  COMMAND ${AWK} -v package=${PROJECT_NAME} -v maintainer=${VELMORA_MAINTAINER}
          -f ${PROJECT_SOURCE_DIR}/cmake/debian-changelog.awk ${PROJECT_SOURCE_DIR}/CHANGELOG.md
          > ${_data}/changelog
  COMMAND ${GZIP} -9nf ${_data}/changelog
  DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_SOURCE_DIR}/cmake/debian-changelog.awk
  VERBATIM)
add_custom_target(velmora-changelog ALL DEPENDS ${_data}/changelog.gz)
install(FILES ${_data}/copyright ${_data}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The installation test installs the build into a scratch directory and
# checks what lands there.
if(TARGET tests_install)
  add_dependencies(tests_install velmora-icons velmora-changelog ${VELMORA_PROGRAMS})
  if(TARGET velmora-man-pages)
    add_dependencies(tests_install velmora-man-pages)
  endif()
  list(JOIN VELMORA_ICON_SIZES "," _sizes)
  target_compile_definitions(tests_install PRIVATE
    VELMORA_APP_ID="${VELMORA_APP_ID}"
    VELMORA_ICON_SIZES=${_sizes}
    VELMORA_CMAKE="${CMAKE_COMMAND}"
    VELMORA_BUILD_DIR="${PROJECT_BINARY_DIR}"
    VELMORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
endif()

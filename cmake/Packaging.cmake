# Installs Kerfplanner like a Linux desktop program and packs it as a Debian package.
#
#   cmake --install <build> --prefix /usr     the programs, desktop entry, icon, AppStream
#                                               metadata and manual pages (GNUInstallDirs)
#   cpack -G DEB --config <build>/CPackConfig.cmake
#
# Included at the end of the top-level CMakeLists.txt, once every program target exists.
# The tool is there in every build; the window only with KERF_GUI=ON.

include(GNUInstallDirs)

set(KERF_APP_ID "io.github.kerfplanner.Kerfplanner")
set(KERF_MAINTAINER "Kerfplanner makers <kerfplanner@example.org>"
    CACHE STRING "Maintainer of the Debian package: name <address>")

set(_kerf_linux "${PROJECT_SOURCE_DIR}/resources/linux")
set(_kerf_man "${PROJECT_BINARY_DIR}/man")

# Manual pages: the version filled in, compressed without name and time stamp (gzip -n), so
# the package comes out the same from the same sources.
find_program(KERF_GZIP gzip)
set(_kerf_man_outputs "")
function(_kerf_man_page name)
    configure_file("${_kerf_linux}/${name}.1.in" "${_kerf_man}/${name}.1" @ONLY)
    if(KERF_GZIP)
        add_custom_command(
            OUTPUT "${_kerf_man}/${name}.1.gz"
            COMMAND "${KERF_GZIP}" -9 -n -k -f "${_kerf_man}/${name}.1"
            DEPENDS "${_kerf_man}/${name}.1"
            COMMENT "Compressing the manual page ${name}(1)"
            VERBATIM)
        set(page "${_kerf_man}/${name}.1.gz")
    else()
        set(page "${_kerf_man}/${name}.1")
    endif()
    install(FILES "${page}" DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
    set(_kerf_man_outputs ${_kerf_man_outputs} "${page}" PARENT_SCOPE)
endfunction()

if(TARGET kerfplanner-signal)
    install(TARGETS kerfplanner-signal RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
    _kerf_man_page(kerfplanner-signal)
endif()

if(TARGET kerfplanner)
    install(TARGETS kerfplanner RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
    _kerf_man_page(kerfplanner)
    install(FILES "${_kerf_linux}/${KERF_APP_ID}.desktop"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
    install(FILES "${PROJECT_SOURCE_DIR}/resources/images/kerfplanner.svg"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps"
            RENAME "${KERF_APP_ID}.svg")
    install(FILES "${_kerf_linux}/${KERF_APP_ID}.metainfo.xml"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/metainfo")
endif()

if(_kerf_man_outputs)
    add_custom_target(kerf_man_pages ALL DEPENDS ${_kerf_man_outputs})
endif()

# The Debian package: cpack -G DEB. Its library dependencies are computed from the programs
# by dpkg-shlibdeps (dpkg-dev). Qt loads some of what the window needs as plugins, which
# dpkg-shlibdeps cannot see, but on Debian they ship in the packages of libraries the
# window links: the X11 platform plugin in libqt6gui6, the SVG image and icon plugins in
# libqt6svg6; the PulseAudio output is built into libqt6multimedia6. scripts/test-install
# checks that those stay in Depends.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "kerfplanner")
set(CPACK_PACKAGE_VENDOR "Kerfplanner")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${KERF_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "positions a workpiece for cutting finger joints with a step motor")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "kerfplanner")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME "kerfplanner")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KERF_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TARGET kerfplanner)
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse")
endif()
# The summary above is the first line; CPack turns an empty line into the " ." that
# separates paragraphs in a control file.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"Kerfplanner moves the carriage of a home-built finger (box) joint jig on a
table saw or a milling machine. A step motor drives the carriage through a
lead screw, and the motor driver's step input is fed from the sound card:
for every move Kerfplanner works out how many motor steps the distance needs
and plays a sound in which every sine period is exactly one step pulse.

Enter the saw width, the start position, the number of cuts, the pin width
and the cut width; Kerfplanner moves the carriage slot by slot and says when
to cut. The command-line tool kerfplanner-signal makes and checks the step
signals without the window.

Kerfplanner is not a safety system: clamp the workpiece for every cut.")

# Debian's documentation of the package: the change log (dated from SOURCE_DATE_EPOCH when
# it is set, so that a rebuild can be the same) and, once the project has a LICENSE file,
# the copyright file.
set(CPACK_DEBIAN_PACKAGE_VERSION "${PROJECT_VERSION}")
string(TIMESTAMP KERF_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(_kerf_doc "${CMAKE_INSTALL_DATADIR}/doc/kerfplanner")
configure_file("${_kerf_linux}/changelog.Debian.in" "${PROJECT_BINARY_DIR}/doc/changelog.Debian"
               @ONLY)
if(KERF_GZIP)
    add_custom_command(
        OUTPUT "${PROJECT_BINARY_DIR}/doc/changelog.Debian.gz"
        COMMAND "${KERF_GZIP}" -9 -n -k -f "${PROJECT_BINARY_DIR}/doc/changelog.Debian"
        DEPENDS "${PROJECT_BINARY_DIR}/doc/changelog.Debian"
        VERBATIM)
    add_custom_target(kerf_package_doc ALL DEPENDS "${PROJECT_BINARY_DIR}/doc/changelog.Debian.gz")
    install(FILES "${PROJECT_BINARY_DIR}/doc/changelog.Debian.gz" DESTINATION "${_kerf_doc}")
endif()
if(EXISTS "${PROJECT_SOURCE_DIR}/LICENSE")
    install(FILES "${PROJECT_SOURCE_DIR}/LICENSE" DESTINATION "${_kerf_doc}" RENAME copyright)
endif()

include(CPack)

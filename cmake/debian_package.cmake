# The Debian package, built by `cpack -G DEB` from the install rules (scripts/package.sh builds it). The
# programs look for their data in the installed data folder of CMAKE_INSTALL_PREFIX, so the package is laid
# out under the same prefix: configure with -DCMAKE_INSTALL_PREFIX=/usr for a package.

set(TQ_PACKAGE_MAINTAINER "TQ-550 Librarian maintainers <tq550-librarian@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tq550-librarian)
set(CPACK_PACKAGE_VENDOR Marlin)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TQ_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_HOMEPAGE_URL ${TQ_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "patch librarian for the VELA TQ-550 guitar multi-effects processor")
# The long description, in lines of at most 79 characters (CPack does not wrap them); an empty line parts
# the paragraphs.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "TQ-550 Librarian backs up and restores the processor's 200 user patches over"
    "MIDI, keeps collections of patches with four memos each in library files"
    "(.tql), exchanges patches as Standard MIDI Files and brings in patches made for"
    "the earlier TQ-MAX, TQ-4 and TQ-2 models. Its interface and manual are in"
    "English and Japanese."
    ""
    "The package holds the desktop program tq550-librarian, the command-line"
    "companion tq550 and tq550-emu, a virtual processor on ALSA or JACK MIDI ports"
    "for trying the programs without hardware.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# dpkg-shlibdeps finds the shared libraries; the Qt platform and SVG plugins are loaded at run time, so the
# desktop program names them itself. Japanese text needs a CJK font; JACK is one of two MIDI systems.
if(TARGET tq550-librarian)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "jackd2")

include(CPack)

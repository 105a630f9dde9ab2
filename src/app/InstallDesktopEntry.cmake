# Part of `cmake --install`: writes the desktop entry with the installed
# executable's path, honouring --prefix and DESTDIR, and records it in the
# install manifest like every other installed file.
set(MURMELA_INSTALLED_BINARY "${CMAKE_INSTALL_PREFIX}/bin/murmela")
if(MURMELA_INSTALLED_BINARY MATCHES "[\"`$\\\\]")
  message(FATAL_ERROR "The installation prefix cannot be named in a desktop entry: ${CMAKE_INSTALL_PREFIX}")
endif()
set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/${MURMELA_DESKTOP_ID}.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${MURMELA_DESKTOP_TEMPLATE}" "${entry}" @ONLY)
# The manifest lists installed files without DESTDIR, as file(INSTALL) does.
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_PREFIX}/share/applications/${MURMELA_DESKTOP_ID}.desktop")

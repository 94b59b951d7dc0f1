# Runs at install time (from cmake_install.cmake): writes the applications-menu entry for the
# prefix being installed into. A system-wide install finds the program on PATH; a per-user
# prefix may not be on it, so the entry names the program by its absolute path there.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
    set(QZ_MENU_EXEC QzHealthManager)
else()
    set(program "${CMAKE_INSTALL_PREFIX}/bin/QzHealthManager")
    # Inside double quotes an Exec line escapes these four; the file's own string escapes then
    # double every backslash.
    string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" program "${program}")
    string(REPLACE "\\" "\\\\" program "${program}")
    string(REPLACE "%" "%%" program "${program}")
    set(QZ_MENU_EXEC "\"${program}\"")
endif()
configure_file("${QZ_MENU_ENTRY_SOURCE}" "${QZ_MENU_ENTRY}" @ONLY)
file(INSTALL "${QZ_MENU_ENTRY}" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications"
     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# What `cmake --install` lays out: IncomeTax and inetspooler side by side in the bin folder
# (IncomeTax starts the spooler from its own folder), the command-line tools, the desktop
# entry and the icon. The desktop entry names the program by its installed path, which is
# known only when installing (the prefix may be given to `cmake --install`).
install(TARGETS IncomeTax inetspooler itbatch itdemo-program RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(IT_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
install(FILES ${IT_PACKAGING_DIR}/incometax.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${IT_PACKAGING_DIR}/incometax-48.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME incometax.png)
install(CODE "
    set(IT_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/IncomeTax\")
    configure_file(\"${IT_PACKAGING_DIR}/incometax.desktop.in\" \"${PROJECT_BINARY_DIR}/incometax.desktop\" @ONLY)
    file(INSTALL \"${PROJECT_BINARY_DIR}/incometax.desktop\"
         DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
")

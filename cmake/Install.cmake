# What `cmake --install` lays out: IncomeTax, inetspooler and itbatch side by side in the bin
# folder (IncomeTax starts the spooler from its own folder), the desktop entry, the icons, the
# AppStream metadata, the manual pages, the copyright file and the changelog: the component
# "Runtime", which is what the Debian package holds (cmake/Package.cmake). The demo generator
# is the component "Demo", installed by a plain `cmake --install` but never packaged.
include(cmake/ReleaseDate.cmake)

install(TARGETS IncomeTax inetspooler itbatch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
install(TARGETS itdemo-program RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Demo)

set(IT_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(IT_PACKAGING_OUT ${PROJECT_BINARY_DIR}/packaging)
install(FILES ${IT_PACKAGING_DIR}/incometax.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT Runtime)
install(FILES ${IT_PACKAGING_DIR}/incometax-48.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps RENAME incometax.png COMPONENT Runtime)

# The desktop entry names the program by its installed path, which is known only when
# installing (the prefix may be given to `cmake --install`).
install(CODE "
    set(IT_PROGRAM \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/IncomeTax\")
    configure_file(\"${IT_PACKAGING_DIR}/incometax.desktop.in\" \"${IT_PACKAGING_OUT}/incometax.desktop\" @ONLY)
    file(INSTALL \"${IT_PACKAGING_OUT}/incometax.desktop\"
         DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\")
" COMPONENT Runtime)

# The software centre's entry; its screenshots are the files of docs/screenshots as the web
# site publishes them.
set(IT_SCREENSHOTS_URL "https://www.corvantis.in/incometax/screenshots")
configure_file(${IT_PACKAGING_DIR}/incometax.metainfo.xml.in ${IT_PACKAGING_OUT}/in.corvantis.IncomeTax.metainfo.xml
               @ONLY)
install(FILES ${IT_PACKAGING_OUT}/in.corvantis.IncomeTax.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        COMPONENT Runtime)

# The manual pages and the changelog carry the version and the release date; they are
# installed compressed, as Debian keeps them (gzip -9n: no name, no time stamp).
foreach(page IN ITEMS IncomeTax.1 itbatch.1 inetspooler.1)
    configure_file(${IT_PACKAGING_DIR}/man/${page}.in ${IT_PACKAGING_OUT}/${page} @ONLY)
endforeach()
configure_file(${IT_PACKAGING_DIR}/changelog.in ${IT_PACKAGING_OUT}/changelog @ONLY)
install(CODE "
    foreach(f IncomeTax.1 itbatch.1 inetspooler.1 changelog)
        execute_process(COMMAND gzip -9nc \"${IT_PACKAGING_OUT}/\${f}\" OUTPUT_FILE \"${IT_PACKAGING_OUT}/\${f}.gz\"
                        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
" COMPONENT Runtime)
install(FILES ${IT_PACKAGING_OUT}/IncomeTax.1.gz ${IT_PACKAGING_OUT}/itbatch.1.gz ${IT_PACKAGING_OUT}/inetspooler.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT Runtime)
install(FILES ${IT_PACKAGING_OUT}/changelog.gz ${IT_PACKAGING_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/incometax COMPONENT Runtime)

include(cmake/Package.cmake)

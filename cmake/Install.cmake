# What `cmake --install` puts in place: programs, help, examples, desktop entry and icon.
install(TARGETS ombrix ombrix-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS ombrix_graph_export LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/ombrix)
install(FILES ${CMAKE_BINARY_DIR}/bin/ombrix.qhc ${CMAKE_BINARY_DIR}/bin/ombrix.qch
        DESTINATION ${CMAKE_INSTALL_DATADIR}/ombrix/help)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/ombrix/examples
        PATTERN "*.py" EXCLUDE PATTERN ".gitignore" EXCLUDE)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/ombrix.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ombrix.svg)

# The manual: docs/manual.md, the one text of it, turned into a page of HTML at build time
# (manual_to_html.py, python3 alone) and installed with the program, where F1 and the about
# dialog find it: beside the program on Windows, in share/rock-socketed-pile elsewhere. Not in
# share/doc: the program needs the file, and minimal systems leave /usr/share/doc out.
#
#   pile_add_manual()
# defines the target pile_manual and, in the caller's scope, PILE_MANUAL_FILE (the file name),
# PILE_MANUAL_DIR (its folder in the build) and PILE_MANUAL_SOURCE (manual.md).
set(PILE_MANUAL_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/manual_to_html.py)
set(PILE_MANUAL_MARKDOWN ${CMAKE_CURRENT_LIST_DIR}/manual.md)

function(pile_add_manual)
    # The build machine's python3, also for a cross-build.
    find_program(PILE_PYTHON3 python3 NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    set(file manual.html)
    set(dir ${CMAKE_BINARY_DIR}/docs)
    add_custom_command(
        OUTPUT ${dir}/${file}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
        COMMAND ${PILE_PYTHON3} ${PILE_MANUAL_SCRIPT} ${PILE_MANUAL_MARKDOWN} ${dir}/${file}
        DEPENDS ${PILE_MANUAL_SCRIPT} ${PILE_MANUAL_MARKDOWN}
        COMMENT "Writing the manual ${file}"
        VERBATIM)
    add_custom_target(pile_manual ALL DEPENDS ${dir}/${file})

    include(GNUInstallDirs)
    if(WIN32)
        install(FILES ${dir}/${file} DESTINATION ${CMAKE_INSTALL_BINDIR})
    else()
        install(FILES ${dir}/${file} DESTINATION ${CMAKE_INSTALL_DATADIR}/rock-socketed-pile)
    endif()

    set(PILE_MANUAL_FILE ${file} PARENT_SCOPE)
    set(PILE_MANUAL_DIR ${dir} PARENT_SCOPE)
    set(PILE_MANUAL_SOURCE ${PILE_MANUAL_MARKDOWN} PARENT_SCOPE)
endfunction()

# The book font: the memo font's face with a character map from which a PDF gives back the
# book's own characters (see derive_book_font.py). Derived into the build folder at build time,
# and again only when the source font or the script changes; installed with the program with its
# licence: beside the program on Windows, in share/rock-socketed-pile/fonts elsewhere.
#
#   pile_add_book_font()
# defines the target pile_book_font and, in the caller's scope, PILE_BOOK_FONT_FILE (the file
# name) and PILE_BOOK_FONT_DIR (the folder of the derived file in the build).
#   pile_add_report_font()
# likewise the calculation report's serif face, derived from Noto Serif CJK SC with the same
# character map but its own advances: pile_report_font, PILE_REPORT_FONT_FILE and
# PILE_REPORT_FONT_DIR.
set(PILE_BOOK_FONT_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/derive_book_font.py)
set(PILE_BOOK_FONT_LICENCE ${CMAKE_CURRENT_LIST_DIR}/OFL.txt)

# A Python 3 that can import fontTools (python3-fonttools): the first python3 on the PATH may
# be another installation than the system's.
function(pile_find_fonttools_python)
    if(PILE_FONTTOOLS_PYTHON)
        return()
    endif()
    find_program(PILE_PATH_PYTHON3 python3)
    foreach(candidate ${PILE_PATH_PYTHON3} /usr/bin/python3)
        if(EXISTS ${candidate})
            execute_process(COMMAND ${candidate} -c "import fontTools"
                            RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
            if(NOT failed)
                set(PILE_FONTTOOLS_PYTHON ${candidate} CACHE FILEPATH
                    "Python 3 with fontTools, which derives the book font")
                return()
            endif()
        endif()
    endforeach()
    message(FATAL_ERROR "No python3 with fontTools: install python3-fonttools "
                        "(scripts/install-deps), or set PILE_FONTTOOLS_PYTHON.")
endfunction()

function(pile_add_book_font)
    # The build machine's font, also for a cross-build: the derived file travels with the program.
    find_file(PILE_BOOK_FONT_SOURCE NotoSansCJK-Regular.ttc
              PATHS /usr/share/fonts/opentype/noto /usr/share/fonts/opentype/noto-cjk
              NO_CMAKE_FIND_ROOT_PATH
              DOC "The font collection holding Noto Sans Mono CJK SC")
    if(NOT PILE_BOOK_FONT_SOURCE)
        message(FATAL_ERROR "NotoSansCJK-Regular.ttc not found: install fonts-noto-cjk "
                            "(scripts/install-deps), or set PILE_BOOK_FONT_SOURCE.")
    endif()
    pile_find_fonttools_python()

    set(file PileBookMonoCJKsc-Regular.otf)
    set(dir ${CMAKE_BINARY_DIR}/fonts)
    add_custom_command(
        OUTPUT ${dir}/${file}
        COMMAND ${PILE_FONTTOOLS_PYTHON} ${PILE_BOOK_FONT_SCRIPT} ${PILE_BOOK_FONT_SOURCE}
                "Noto Sans Mono CJK SC" ${dir}/${file}
                "Pile Book Mono CJK SC" PileBookMonoCJKsc-Regular
        DEPENDS ${PILE_BOOK_FONT_SCRIPT} ${PILE_BOOK_FONT_SOURCE}
        COMMENT "Deriving the book font ${file}"
        VERBATIM)
    add_custom_target(pile_book_font ALL DEPENDS ${dir}/${file})

    include(GNUInstallDirs)
    if(WIN32)
        set(destination ${CMAKE_INSTALL_BINDIR})
    else()
        set(destination ${CMAKE_INSTALL_DATADIR}/rock-socketed-pile/fonts)
    endif()
    install(FILES ${dir}/${file} DESTINATION ${destination})
    install(FILES ${PILE_BOOK_FONT_LICENCE} DESTINATION ${destination}
            RENAME PileBookMonoCJKsc-OFL.txt)

    set(PILE_BOOK_FONT_FILE ${file} PARENT_SCOPE)
    set(PILE_BOOK_FONT_DIR ${dir} PARENT_SCOPE)
endfunction()

function(pile_add_report_font)
    find_file(PILE_REPORT_FONT_SOURCE NotoSerifCJK-Regular.ttc
              PATHS /usr/share/fonts/opentype/noto /usr/share/fonts/opentype/noto-cjk
              NO_CMAKE_FIND_ROOT_PATH
              DOC "The font collection holding Noto Serif CJK SC")
    if(NOT PILE_REPORT_FONT_SOURCE)
        message(FATAL_ERROR "NotoSerifCJK-Regular.ttc not found: install fonts-noto-cjk "
                            "(scripts/install-deps), or set PILE_REPORT_FONT_SOURCE.")
    endif()
    pile_find_fonttools_python()

    set(file PileReportSerifCJKsc-Regular.otf)
    set(dir ${CMAKE_BINARY_DIR}/fonts)
    add_custom_command(
        OUTPUT ${dir}/${file}
        COMMAND ${PILE_FONTTOOLS_PYTHON} ${PILE_BOOK_FONT_SCRIPT} --proportional
                ${PILE_REPORT_FONT_SOURCE} "Noto Serif CJK SC" ${dir}/${file}
                "Pile Report Serif CJK SC" PileReportSerifCJKsc-Regular
        DEPENDS ${PILE_BOOK_FONT_SCRIPT} ${PILE_REPORT_FONT_SOURCE}
        COMMENT "Deriving the report font ${file}"
        VERBATIM)
    add_custom_target(pile_report_font ALL DEPENDS ${dir}/${file})

    include(GNUInstallDirs)
    if(WIN32)
        set(destination ${CMAKE_INSTALL_BINDIR})
    else()
        set(destination ${CMAKE_INSTALL_DATADIR}/rock-socketed-pile/fonts)
    endif()
    install(FILES ${dir}/${file} DESTINATION ${destination})
    install(FILES ${PILE_BOOK_FONT_LICENCE} DESTINATION ${destination}
            RENAME PileReportSerifCJKsc-OFL.txt)

    set(PILE_REPORT_FONT_FILE ${file} PARENT_SCOPE)
    set(PILE_REPORT_FONT_DIR ${dir} PARENT_SCOPE)
endfunction()

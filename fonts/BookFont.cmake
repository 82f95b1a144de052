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

# Derives `file` from the collection `collection` (found as `source_var`, which the user may
# set) holding `face`, as `family`/`postscript`, with the script's extra `options`; defines the
# target `target` and installs the file with its licence. Sets `file_var` and `dir_var` in the
# caller's caller.
function(pile_derive_font target source_var collection face file family postscript comment
         options file_var dir_var)
    # The build machine's font, also for a cross-build: the derived file travels with the program.
    find_file(${source_var} ${collection}
              PATHS /usr/share/fonts/opentype/noto /usr/share/fonts/opentype/noto-cjk
              NO_CMAKE_FIND_ROOT_PATH
              DOC "The font collection holding ${face}")
    if(NOT ${source_var})
        message(FATAL_ERROR "${collection} not found: install fonts-noto-cjk "
                            "(scripts/install-deps), or set ${source_var}.")
    endif()
    pile_find_fonttools_python()

    set(dir ${CMAKE_BINARY_DIR}/fonts)
    add_custom_command(
        OUTPUT ${dir}/${file}
        COMMAND ${PILE_FONTTOOLS_PYTHON} ${PILE_BOOK_FONT_SCRIPT} ${options}
                ${${source_var}} "${face}" ${dir}/${file} "${family}" ${postscript}
        DEPENDS ${PILE_BOOK_FONT_SCRIPT} ${${source_var}}
        COMMENT "${comment} ${file}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${dir}/${file})

    include(GNUInstallDirs)
    if(WIN32)
        set(destination ${CMAKE_INSTALL_BINDIR})
    else()
        set(destination ${CMAKE_INSTALL_DATADIR}/rock-socketed-pile/fonts)
    endif()
    install(FILES ${dir}/${file} DESTINATION ${destination})
    string(REPLACE "-Regular.otf" "-OFL.txt" licence ${file})
    install(FILES ${PILE_BOOK_FONT_LICENCE} DESTINATION ${destination} RENAME ${licence})

    set(${file_var} ${file} PARENT_SCOPE)
    set(${dir_var} ${dir} PARENT_SCOPE)
endfunction()

function(pile_add_book_font)
    pile_derive_font(pile_book_font PILE_BOOK_FONT_SOURCE NotoSansCJK-Regular.ttc
                     "Noto Sans Mono CJK SC" PileBookMonoCJKsc-Regular.otf
                     "Pile Book Mono CJK SC" PileBookMonoCJKsc-Regular "Deriving the book font"
                     "" file dir)
    set(PILE_BOOK_FONT_FILE ${file} PARENT_SCOPE)
    set(PILE_BOOK_FONT_DIR ${dir} PARENT_SCOPE)
endfunction()

function(pile_add_report_font)
    pile_derive_font(pile_report_font PILE_REPORT_FONT_SOURCE NotoSerifCJK-Regular.ttc
                     "Noto Serif CJK SC" PileReportSerifCJKsc-Regular.otf
                     "Pile Report Serif CJK SC" PileReportSerifCJKsc-Regular
                     "Deriving the report font" --proportional file dir)
    set(PILE_REPORT_FONT_FILE ${file} PARENT_SCOPE)
    set(PILE_REPORT_FONT_DIR ${dir} PARENT_SCOPE)
endfunction()

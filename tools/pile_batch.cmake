# pile_batch: a pile schedule (.xlsx or CSV) in, both calculation books and a results table out.
# Installed with the package. Needs QtCore for the book files (the encoder and the atomic
# replace of "保存") and the calculation time as the window forms it, from io/.
if(PILE_BUILD_UI)
    find_package(Qt6 6.4 REQUIRED COMPONENTS Core)

    add_library(pile_batch_command STATIC pile_batch_command.cpp)
    target_link_libraries(pile_batch_command PUBLIC pile_session pile_results_workbook pile_report pile_report_pdf
                                                    pile_io Qt6::Core)
    pile_strict_target(pile_batch_command)

    add_executable(pile_batch pile_batch.cpp)
    target_link_libraries(pile_batch PRIVATE pile_batch_command)
    pile_strict_target(pile_batch)

    if(PILE_BUILD_TESTS)
        pile_add_gtest(NAME pile_batch_tests
            SOURCES tests/pile_batch_test.cpp
            LIBS pile_batch_command pile_replay_session pile_minizip)
        target_compile_definitions(pile_batch_tests PRIVATE
            PILE_BATCH_PROGRAM="$<TARGET_FILE:pile_batch>"
            PILE_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
            PILE_TEST_WORKBOOKS="${PROJECT_SOURCE_DIR}/schedule/tests/workbooks")
        add_dependencies(pile_batch_tests pile_batch)
    endif()
endif()

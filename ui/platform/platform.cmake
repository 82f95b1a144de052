# The small platform layers of the window (saving a book file, documents folder, permission
# service, system shell, Qt's Chinese texts) and the about dialog. Included by ui/CMakeLists.txt.
#   pile_platform  QtCore and QtGui only: testable without widgets or a display
#   pile_about     Qt Widgets: the about dialog and the real message boxes
set(PILE_PLATFORM_DIR ${CMAKE_CURRENT_LIST_DIR})

add_library(pile_platform STATIC
    ${PILE_PLATFORM_DIR}/book_file.cpp
    ${PILE_PLATFORM_DIR}/book_save_flow.cpp
    ${PILE_PLATFORM_DIR}/documents_folder.cpp
    ${PILE_PLATFORM_DIR}/file_error_text.cpp
    ${PILE_PLATFORM_DIR}/permission_service.cpp
    ${PILE_PLATFORM_DIR}/qt_translation.cpp
    ${PILE_PLATFORM_DIR}/system_shell.cpp
)
target_include_directories(pile_platform PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(pile_platform PUBLIC QT_NO_CONTEXTLESS_CONNECT)
target_link_libraries(pile_platform PUBLIC Qt6::Core Qt6::Gui)
pile_strict_target(pile_platform)

add_library(pile_about STATIC
    ${PILE_PLATFORM_DIR}/../BXV_CZL_PAS_CopyRight.cpp
    ${PILE_PLATFORM_DIR}/message_box_presenter.cpp
)
set_target_properties(pile_about PROPERTIES AUTOMOC ON)
target_link_libraries(pile_about PUBLIC pile_platform Qt6::Widgets)
pile_strict_target(pile_about)

if(PILE_BUILD_TESTS)
    # HOME and XDG_CONFIG_HOME point at a temporary folder of each test's own, set by the
    # tests themselves: ENVIRONMENT passes a single variable through test discovery.
    pile_add_gtest(NAME platform_tests
        SOURCES
            ${PILE_PLATFORM_DIR}/tests/book_file_test.cpp
            ${PILE_PLATFORM_DIR}/tests/book_save_flow_test.cpp
            ${PILE_PLATFORM_DIR}/tests/documents_folder_test.cpp
        LIBS pile_platform
        ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    # Real books through the real flow; kept apart so that platform_tests prove the saving
    # layer needs nothing but Qt.
    pile_add_gtest(NAME saved_books_tests
        SOURCES ${PILE_PLATFORM_DIR}/tests/saved_books_test.cpp
        LIBS pile_platform pile_books
        ENVIRONMENT QT_QPA_PLATFORM=offscreen)
    pile_add_gtest(NAME about_tests
        SOURCES
            ${PILE_PLATFORM_DIR}/tests/about_dialog_test.cpp
            ${PILE_PLATFORM_DIR}/tests/message_box_test.cpp
        LIBS pile_about Qt6::Test
        ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endif()

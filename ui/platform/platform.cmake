# The small platform layers of the window (saving a book file, documents folder, permission
# service, system shell) and the about dialog. Included by ui/CMakeLists.txt.
add_library(pile_platform INTERFACE)
add_library(pile_about INTERFACE)

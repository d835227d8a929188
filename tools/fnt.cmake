# lumora-fnt: header dump, loader verdict, specimen (BMP or PNG) and glyph comparison of .fnt fonts.
add_executable(lumora-fnt ${CMAKE_CURRENT_LIST_DIR}/fnt/fnt.cpp)
target_link_libraries(lumora-fnt PRIVATE lumora lumora_tools_common lumora_png)
install(TARGETS lumora-fnt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

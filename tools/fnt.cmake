# lumora-fnt: header dump, loader verdict and specimen of a .fnt font.
add_executable(lumora-fnt ${CMAKE_CURRENT_LIST_DIR}/fnt/fnt.cpp)
target_link_libraries(lumora-fnt PRIVATE lumora lumora_tools_common)
install(TARGETS lumora-fnt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

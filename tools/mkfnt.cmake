# lumora-mkfnt: a TrueType/OpenType font rendered, or a bitmap font's strike copied, into a
# variable-width .fnt bitmap font.
# Needs FreeType (Debian: libfreetype-dev); skipped without it.
find_package(Freetype)
if(FREETYPE_FOUND)
  add_executable(lumora-mkfnt ${CMAKE_CURRENT_LIST_DIR}/mkfnt/mkfnt.cpp)
  target_link_libraries(lumora-mkfnt PRIVATE lumora_tools_common Freetype::Freetype)
  install(TARGETS lumora-mkfnt RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
else()
  message(STATUS "FreeType not found: lumora-mkfnt is not built")
endif()

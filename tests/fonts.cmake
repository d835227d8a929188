# Fonts and text: the loader, text drawing, the font tools and the FreeType cross-check.
lumora_add_test(test_fonts SOURCES test_fonts_load.cpp test_fonts_text.cpp LIBS lumora_testkit)

find_package(Freetype)
if(TARGET lumora-fnt AND TARGET lumora-mkfnt AND FREETYPE_FOUND)
  lumora_add_test(test_fonts_tools SOURCES test_fonts_tools.cpp LIBS lumora_tools_common lumora_testkit)
  add_dependencies(test_fonts_tools lumora-fnt lumora-mkfnt)
  # Our reader against FreeType's Windows FNT driver, on fonts lumora-mkfnt writes and on
  # the showcase's fonts; lumora-mkfnt's glyphs against FreeType's, from outline fonts and
  # from the strikes of bitmap fonts.
  lumora_add_test(test_fonts_freetype SOURCES test_fonts_freetype.cpp test_fonts_bitmap.cpp
    LIBS Freetype::Freetype lumora_testkit)
  add_dependencies(test_fonts_freetype lumora-mkfnt)
endif()

# Fonts and text: the loader, text drawing, the font tools and the FreeType cross-check.
lumora_add_test(test_fonts SOURCES test_fonts_load.cpp test_fonts_text.cpp)

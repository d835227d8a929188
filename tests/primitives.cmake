# The blend and its span kernels, and the primitives drawn with them.
lumora_add_test(test_blend SOURCES test_blend.cpp)
lumora_add_test(test_primitives_lines SOURCES test_primitives_lines.cpp)
lumora_add_test(test_primitives_circles SOURCES test_primitives_circles.cpp)
lumora_add_test(test_primitives_rects SOURCES test_primitives_rects.cpp)

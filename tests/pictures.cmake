# Picture loading and display: loader codes and layouts, the display against a per-pixel
# reference, and differential checks against ImageMagick.
lumora_add_test(test_pictures SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/test_pictures_load.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_pictures_show.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_pictures_magick.cpp
  LIBS lumora_testkit)

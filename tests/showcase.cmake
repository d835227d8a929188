# Showcase scenes: per-step numbers and pixels of chosen frames with in-memory fonts and
# pictures, and whole headless runs of the presentation.
lumora_add_test(test_scenes
  SOURCES test_scene_appearing.cpp test_scene_introduction.cpp test_scene_primitives.cpp
          test_scene_fonts.cpp test_scene_images.cpp
  LIBS lumorashowcase_lib)
lumora_add_test(test_showcase_run SOURCES test_showcase_run.cpp LIBS lumorashowcase_lib)
# The whole run and the real-asset checks read Fonts/ and Pictures/ beside the test.
add_dependencies(test_showcase_run showcase_assets)
# The scenes' numbers against the x87 (on x86; skipped elsewhere).
lumora_add_test(test_scene_extended SOURCES test_scene_extended.cpp LIBS lumorashowcase_lib)
# The showcase program itself, without a display (not in cross builds: the check runs it
# directly).
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME ShowcaseWithoutDisplayRefusesAndNamesMissingAssets
           COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DPROGRAM=$<TARGET_FILE:lumorashowcase>
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/showcase_cli/check.cmake)
endif()

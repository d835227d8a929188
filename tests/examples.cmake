# The example programs (examples/) run headless for five frames each, and the XXH3-128 hashes
# of their frames are compared with tests/golden/examples/<name>.hashes by
# check_example_frames. After a deliberate change to an example, rewrite its list from the
# build's bin/ folder (where Fonts/ and Pictures/ are):
#   ./example_<name> --headless 5 --hashes <source>/tests/golden/examples/<name>.hashes
if(LUMORA_BUILD_EXAMPLES)
  add_executable(check_example_frames ${CMAKE_CURRENT_LIST_DIR}/check_example_frames.cpp)
  target_link_libraries(check_example_frames PRIVATE lumora_frame_hash)

  set(LUMORA_EXAMPLE_GOLDEN ${CMAKE_CURRENT_LIST_DIR}/golden/examples)
  # ctest runs the checker under a cross build's emulator; the checker runs the example under
  # it too. A Windows build's checker starts the example itself, inside the emulator.
  set(LUMORA_EXAMPLE_RUNNER "")
  if(CMAKE_CROSSCOMPILING_EMULATOR AND NOT WIN32)
    set(LUMORA_EXAMPLE_RUNNER ${CMAKE_CROSSCOMPILING_EMULATOR})
  endif()
  foreach(E ${LUMORA_EXAMPLES})
    add_test(NAME Example.${E}
      COMMAND check_example_frames ${LUMORA_EXAMPLE_GOLDEN}/${E}.hashes
              ${CMAKE_CURRENT_BINARY_DIR}/example_${E}.hashes
              ${LUMORA_EXAMPLE_RUNNER} $<TARGET_FILE:example_${E}> --headless 5
      WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  endforeach()

  # LUMORA_HEADLESS=5 runs the same five frames as --headless 5.
  add_test(NAME Example.EnvironmentRunsHeadless
    COMMAND check_example_frames ${LUMORA_EXAMPLE_GOLDEN}/animation.hashes
            ${CMAKE_CURRENT_BINARY_DIR}/example_animation_environment.hashes
            ${LUMORA_EXAMPLE_RUNNER} $<TARGET_FILE:example_animation>
    WORKING_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  set_tests_properties(Example.EnvironmentRunsHeadless PROPERTIES ENVIRONMENT LUMORA_HEADLESS=5)

  # --help, and clear refusals of what the support cannot do.
  add_test(NAME Example.Help COMMAND example_text --help)
  set_tests_properties(Example.Help PROPERTIES
    PASS_REGULAR_EXPRESSION "Usage: example_text(\\.exe)? \\[--headless N.*LUMORA_HEADLESS=N")
  add_test(NAME Example.RefusesFrameCountZero COMMAND example_text --headless 0)
  set_tests_properties(Example.RefusesFrameCountZero PROPERTIES
    PASS_REGULAR_EXPRESSION "--headless 0: not a frame count")
  add_test(NAME Example.RefusesEnvironmentNotANumber COMMAND example_text)
  set_tests_properties(Example.RefusesEnvironmentNotANumber PROPERTIES
    ENVIRONMENT LUMORA_HEADLESS=yes PASS_REGULAR_EXPRESSION "LUMORA_HEADLESS=yes: not a frame count")
  add_test(NAME Example.HashesNeedHeadless COMMAND example_text --hashes unused.hashes)
  set_tests_properties(Example.HashesNeedHeadless PROPERTIES
    PASS_REGULAR_EXPRESSION "--hashes and --png need --headless N")
endif()

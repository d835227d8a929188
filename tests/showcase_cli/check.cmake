# lumorashowcase without a display: it says which assets it could not load and where it
# looked, and refuses with exit code 1, pointing at lumora-record. Started elsewhere than
# its own folder, it finds Fonts/ and Pictures/ beside itself.
set(SCRATCH ${BUILD}/showcase-cli-check)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
file(COPY ${PROGRAM} DESTINATION ${SCRATCH})
get_filename_component(NAME ${PROGRAM} NAME)
set(NO_DISPLAY ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
    SDL_VIDEODRIVER=offscreen)

execute_process(COMMAND ${NO_DISPLAY} ${SCRATCH}/${NAME} WORKING_DIRECTORY ${SCRATCH}
                RESULT_VARIABLE R ERROR_VARIABLE E OUTPUT_QUIET TIMEOUT 60)
if(NOT R EQUAL 1)
  message(FATAL_ERROR "expected exit code 1 without a display, got ${R}: ${E}")
endif()
foreach(WANT "cannot load Fonts.Architext_64.fnt" "cannot load Pictures.airplane.bmp"
        "no Fonts/ or Pictures/ folder" "lumora-record")
  if(NOT E MATCHES "${WANT}")
    message(FATAL_ERROR "stderr lacks '${WANT}': ${E}")
  endif()
endforeach()

execute_process(COMMAND ${NO_DISPLAY} ${PROGRAM} WORKING_DIRECTORY ${SCRATCH}
                RESULT_VARIABLE R ERROR_VARIABLE E OUTPUT_QUIET TIMEOUT 60)
if(NOT R EQUAL 1 OR E MATCHES "cannot load")
  message(FATAL_ERROR "started elsewhere, the showcase should find its assets beside itself: ${R} ${E}")
endif()

# lumora-record: the headless recorder (video, PNG frames, stills, contact sheet). Its parts
# live in a library so that the tests can call them.
find_package(ZLIB REQUIRED)

add_library(lumora_png STATIC ${CMAKE_CURRENT_LIST_DIR}/common/png_write.cpp)
target_include_directories(lumora_png PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(lumora_png PUBLIC ZLIB::ZLIB)

# xxHash is used header-only (XXH_INLINE_ALL): nothing to link, also for cross builds.
find_path(LUMORA_XXHASH_INCLUDE xxhash.h REQUIRED)
add_library(lumora_frame_hash STATIC ${CMAKE_CURRENT_LIST_DIR}/common/frame_hash.cpp)
target_include_directories(lumora_frame_hash PUBLIC ${PROJECT_SOURCE_DIR})
target_include_directories(lumora_frame_hash PRIVATE ${LUMORA_XXHASH_INCLUDE})

add_library(lumora_record_lib STATIC
  ${CMAKE_CURRENT_LIST_DIR}/record/options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/record/playback.cpp
  ${CMAKE_CURRENT_LIST_DIR}/record/video.cpp)
target_link_libraries(lumora_record_lib PUBLIC lumorashowcase_lib lumora_png lumora_frame_hash)

add_executable(lumora-record ${CMAKE_CURRENT_LIST_DIR}/record/main.cpp)
target_link_libraries(lumora-record PRIVATE lumora_record_lib)
# Fonts/ and Pictures/ are placed beside the programs; the recorder falls back to them.
add_dependencies(lumora-record showcase_assets)
install(TARGETS lumora-record RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# bench_compare: lumora side by side with pixman, SDL2 software surfaces (and SDL2_gfx when
# present), straightforward C and the memory limit. Built only when pixman-1 and sdl2 are
# found through pkg-config; the library and the tests never depend on them.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(COMPARE_PIXMAN QUIET IMPORTED_TARGET pixman-1)
  pkg_check_modules(COMPARE_SDL2 QUIET IMPORTED_TARGET sdl2)
  pkg_check_modules(COMPARE_SDL2_GFX QUIET IMPORTED_TARGET SDL2_gfx)
endif()

if(COMPARE_PIXMAN_FOUND AND COMPARE_SDL2_FOUND)
  add_executable(bench_compare
    compare/main.cpp compare/workload.cpp compare/peer_lumora.cpp compare/peer_pixman.cpp
    compare/peer_sdl.cpp compare/peer_plain.cpp)
  target_include_directories(bench_compare PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(bench_compare PRIVATE lumora benchmark::benchmark
    PkgConfig::COMPARE_PIXMAN PkgConfig::COMPARE_SDL2)
  if(COMPARE_SDL2_GFX_FOUND)
    target_link_libraries(bench_compare PRIVATE PkgConfig::COMPARE_SDL2_GFX)
    target_compile_definitions(bench_compare PRIVATE COMPARE_HAVE_SDL2_GFX=1)
  else()
    message(STATUS "bench_compare: SDL2_gfx not found, lines and circles have no SDL2_gfx row")
  endif()
else()
  message(STATUS "bench_compare not built: it needs pixman-1 and sdl2 (pkg-config)")
endif()

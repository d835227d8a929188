# Canvases: the canvas-first calls, their clipping and strides, pictures as canvases, and
# canvases drawn on from several threads.
find_package(Threads REQUIRED)
lumora_add_test(test_canvas SOURCES test_canvas.cpp LIBS Threads::Threads)
add_dependencies(test_canvas showcase_assets)

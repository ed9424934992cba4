kelvane_bench(grid_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/grid_bench.cpp LIBS kelvane_grid)

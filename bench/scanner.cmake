kelvane_bench(scanner_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/scanner_bench.cpp LIBS kelvane_scanner)

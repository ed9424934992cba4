kelvane_bench(scanner_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/scanner_bench.cpp LIBS kelvane_scanner)
target_compile_definitions(scanner_bench PRIVATE KELVANE_AXSCAN_EXE="$<TARGET_FILE:axscan>")
add_dependencies(scanner_bench axscan)
kelvane_bench(watch_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/watch_bench.cpp LIBS kelvane_scanner)

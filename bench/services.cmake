kelvane_bench(services_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/services_bench.cpp
    LIBS kelvane_axserver kelvane_axcli)
target_compile_definitions(services_bench PRIVATE KELVANE_AXSCAN_EXE="$<TARGET_FILE:axscan>")
add_dependencies(services_bench axscan)

# The quota service and the console at 1,000, 10,000 and 100,000 quotas, with each figure's growth.
kelvane_bench(scale_bench
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/scale_bench.cpp
        ${CMAKE_CURRENT_LIST_DIR}/scale_figures.cpp
    LIBS kelvane_program_runner kelvane_monitor kelvane_store kelvane_scanner kelvane_resources psapi)
add_dependencies(scale_bench axserver axscan)

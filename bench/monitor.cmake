# The quota monitor's refresh cycle with 10,000 records from the running quota service.
kelvane_bench(monitor_bench
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/monitor_bench.cpp
        ${PROJECT_SOURCE_DIR}/tests/monitor/server_program.cpp
    LIBS kelvane_monitor kelvane_store kelvane_resources psapi)
target_compile_definitions(monitor_bench PRIVATE
    KELVANE_AXSERVER_PATH="$<TARGET_FILE:axserver>")
add_dependencies(monitor_bench axserver)

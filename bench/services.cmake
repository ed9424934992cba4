kelvane_bench(services_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/services_bench.cpp
    LIBS kelvane_axserver kelvane_axcli)

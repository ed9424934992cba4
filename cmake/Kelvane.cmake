# Helpers shared by the folders' build files.

# kelvane_library(NAME SOURCES... [LIBS libs...]): one static library per folder.
function(kelvane_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE ${KELVANE_WARNINGS})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# kelvane_program(NAME [WIN32] SOURCES... [LIBS libs...]): a Windows program.
function(kelvane_program name)
    cmake_parse_arguments(ARG "WIN32" "" "SOURCES;LIBS" ${ARGN})
    if(ARG_WIN32)
        add_executable(${name} WIN32 ${ARG_SOURCES})
    else()
        add_executable(${name} ${ARG_SOURCES})
    endif()
    target_compile_options(${name} PRIVATE ${KELVANE_WARNINGS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()

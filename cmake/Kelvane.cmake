# Helpers shared by the folders' build files.

# kelvane_library(NAME SOURCES... [LIBS libs...]): one static library per folder.
function(kelvane_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE ${KELVANE_WARNINGS})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# kelvane_split_debug_info(TARGET): moves the program's debug information into TARGET.exe.debug
# beside it (linked by name for debuggers). Wine loads a whole image into memory, debug sections
# included: several megabytes a process would carry for nothing.
function(kelvane_split_debug_info name)
    if(CMAKE_OBJCOPY)
        add_custom_command(TARGET ${name} POST_BUILD
            COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${name}>
                    $<TARGET_FILE:${name}>.debug
            COMMAND ${CMAKE_OBJCOPY} --strip-debug
                    --add-gnu-debuglink=$<TARGET_FILE:${name}>.debug $<TARGET_FILE:${name}>
            VERBATIM)
    endif()
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
    kelvane_split_debug_info(${name})
endfunction()

# Settings shared by the project's own targets (not by third-party code such as GoogleTest).

# Warnings as errors, the Windows version the program targets, and the MSVC manifest setting.
# UNICODE makes the plain names of the Windows API (CreateWindowEx, IDC_ARROW) the wide ones;
# the code still names every A or W function it calls.
function(ondrel_target_defaults target)
    target_compile_definitions(${target} PRIVATE _WIN32_WINNT=0x0601 WINVER=0x0601 UNICODE _UNICODE)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /WX /EHsc)
        target_compile_definitions(${target} PRIVATE _CRT_SECURE_NO_WARNINGS)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
        # The same bytes from any checkout folder: no build path in the objects (the build
        # folder may lie inside the source folder, so it comes last and wins).
        target_compile_options(${target} PRIVATE
            $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>
            $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>)
    endif()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE" AND (MINGW OR CMAKE_CXX_COMPILER_ID STREQUAL "GNU"))
        # No link time in the PE header, so that two builds of one commit are byte-identical.
        target_link_options(${target} PRIVATE -Wl,--no-insert-timestamp)
    endif()
    if(type STREQUAL "EXECUTABLE" AND MSVC)
        # The manifest comes from the resources; the linker must not add a second one.
        target_link_options(${target} PRIVATE /MANIFEST:NO)
    endif()
endfunction()

# No runtime DLLs beside the system's: libgcc, libstdc++ and winpthread linked in.
function(ondrel_static_runtime target)
    if(MINGW OR CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++
                            $<$<CONFIG:Release,MinSizeRel>:-s>)
    endif()
endfunction()

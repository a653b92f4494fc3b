# Settings shared by the project's own targets (not by third-party code such as GoogleTest).

# Warnings as errors, the Windows version the program targets, and the MSVC manifest setting.
function(ondrel_target_defaults target)
    target_compile_definitions(${target} PRIVATE _WIN32_WINNT=0x0601 WINVER=0x0601)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 /WX /EHsc)
        target_compile_definitions(${target} PRIVATE _CRT_SECURE_NO_WARNINGS)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    endif()
    get_target_property(type ${target} TYPE)
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

# Cross-compiling for 64-bit Windows with Debian's clang and lld, on the headers, import
# libraries and C++ library of Debian's MinGW-w64 (posix threading variant). Builds the
# framework, the game and the program with a second compiler, so code that only GCC accepts
# shows up.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_C_COMPILER_TARGET ${MINGW_TRIPLET})
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_CXX_COMPILER_TARGET ${MINGW_TRIPLET})
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
set(CMAKE_AR ${MINGW_TRIPLET}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${MINGW_TRIPLET}-ranlib CACHE FILEPATH "")

# clang does not find Debian's MinGW-w64 C++ library by itself.
file(GLOB MINGW_GCC_DIRS /usr/lib/gcc/${MINGW_TRIPLET}/*-posix)
list(GET MINGW_GCC_DIRS 0 MINGW_GCC_DIR)
set(CMAKE_CXX_FLAGS_INIT
    "-isystem ${MINGW_GCC_DIR}/include/c++ -isystem ${MINGW_GCC_DIR}/include/c++/${MINGW_TRIPLET} -isystem ${MINGW_GCC_DIR}/include/c++/backward")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${MINGW_GCC_DIR}")
# std::thread and std::mutex sit on winpthreads, which clang's driver does not add.
set(CMAKE_CXX_STANDARD_LIBRARIES "-Wl,-Bstatic -lpthread" CACHE STRING "")

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Cross toolchain for the Windows builds. SENTEL_ARCH picks the target:
# i686 (the shipped 32-bit program, the default) or x86_64 (the test build).
set(SENTEL_ARCH "i686" CACHE STRING "Windows target: i686 or x86_64")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${SENTEL_ARCH})
set(_triple ${SENTEL_ARCH}-w64-mingw32)
# SENTEL_THREADS picks the compiler's thread model. win32 links no POSIX-threads
# runtime (libwinpthread needs Windows XP or Vista); posix is the one with
# std::thread in GCC 12, for tests that start threads.
set(SENTEL_THREADS "posix" CACHE STRING "Thread model of the cross compiler: win32 or posix")
set(CMAKE_C_COMPILER ${_triple}-gcc-${SENTEL_THREADS})
set(CMAKE_CXX_COMPILER ${_triple}-g++-${SENTEL_THREADS})
set(CMAKE_RC_COMPILER ${_triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)

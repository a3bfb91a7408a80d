# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread
# model, package g++-mingw-w64-x86-64-posix), statically linked so that the
# programs run on a bare Windows machine:
#
#   cmake -S . -B build-windows -G Ninja \
#     -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
#     -DH33_BUILD_GUI=OFF -DH33_BUILD_BENCH=OFF -DH33_GTEST_FROM_SOURCE=ON
#
# With -DCMAKE_PREFIX_PATH=<the Windows Qt> and H33_BUILD_GUI=ON it builds the
# window, h33feed.exe, and its tests as well.
#
# The header-only libraries (CLI11, nlohmann-json) are taken from the build
# machine (cmake/HostHeaders.cmake); the tests run under Wine when it is
# installed (cmake/WineTests.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(H33_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${H33_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${H33_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${H33_MINGW_PREFIX}-windres)

# The Windows Qt (packaging/windows/build-qt.sh) is passed in
# CMAKE_PREFIX_PATH; find_package looks only under the find roots.
set(CMAKE_FIND_ROOT_PATH /usr/${H33_MINGW_PREFIX} ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# No MinGW runtime DLL to ship beside h33.exe: libgcc, libstdc++ and
# winpthread go into the executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The build machine's headers of header-only libraries, for HostHeaders.cmake.
set(H33_HOST_HEADERS /usr/include CACHE PATH "Where the header-only libraries' headers are")

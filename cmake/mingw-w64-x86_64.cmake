# Cross-compiles the 64-bit Windows programs on Linux with Debian's mingw-w64 (posix threading
# model). The product is 32-bit; this build is kept compiling and tested for an adapter that ships
# a 64-bit sibling library.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QD_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QD_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QD_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QD_TRIPLE}-windres)
# The compiler for the other architecture, which builds the sibling library fixture a process of
# this architecture cannot load.
set(QD_OTHER_ARCH_CXX i686-w64-mingw32-g++-posix)

set(CMAKE_FIND_ROOT_PATH /usr/${QD_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

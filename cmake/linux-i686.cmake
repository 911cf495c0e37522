# The platform-free core as 32-bit Linux code on the shipped x86 menu's baseline: i686,
# no SSE or SSE2, x87 floating point, 32-bit pointers. Tests run under qemu-i386.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_C_FLAGS_INIT "-march=i686 -mno-sse -mfpmath=387")
set(CMAKE_CXX_FLAGS_INIT "-march=i686 -mno-sse -mfpmath=387")
set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# No sanitizers here (the native preset runs them): under qemu-i386 a program built with
# AddressSanitizer hung at its end in a trial.
# The cross toolchain's own libraries stand in for a 32-bit system.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386 -L /usr/i686-linux-gnu)

set(NAVORA_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
# Win32 threads: the POSIX model links a threads library of some 30 KB into the menu. This
# model has no std::thread or std::mutex, which GoogleTest and the suites use: this build
# makes only probes, and tests/CMakeLists.txt says what runs against its programs.
set(NAVORA_MINGW_THREADS win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Tests run as 32-bit Windows programs under the private i386 Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine32)

# Cross build for 64-bit Windows with mingw-w64; programs run under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILLBOX_MINGW_PREFIX x86_64-w64-mingw32)
# The posix thread model: std::thread and friends need winpthread, which we
# link statically below.
set(CMAKE_C_COMPILER ${QUILLBOX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLBOX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLBOX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILLBOX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every exe must run from a bare folder: no libgcc, libstdc++ or winpthread DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Lets ctest and gtest_discover_tests run the cross-built tests. Discovery
# waits for ctest, so a build never starts wine in the default prefix.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
find_program(QUILLBOX_WINE NAMES wine wine64)
if(QUILLBOX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUILLBOX_WINE})
endif()

# GCC 12 misreports -Wrestrict inside std::basic_string when a literal is
# prepended to a string at -O2 (GCC bug 105651); the warning is a false alarm.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# Cross build of the Windows program with MinGW-w64. MINGW_TARGET picks the compiler: i686-w64-mingw32 for
# the shipped 32-bit program, x86_64-w64-mingw32 for the same program as a 64-bit exe (an option of the
# end-to-end cases).
set(CMAKE_SYSTEM_NAME Windows)
if(NOT MINGW_TARGET)
  set(MINGW_TARGET i686-w64-mingw32)
endif()
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR "${MINGW_TARGET}")

# The win32-threads runtime: the posix one pulls in GetTickCount64, which XP lacks.
find_program(CMAKE_CXX_COMPILER NAMES ${MINGW_TARGET}-g++-win32 ${MINGW_TARGET}-g++)
find_program(CMAKE_RC_COMPILER ${MINGW_TARGET}-windres)
if(NOT CMAKE_CXX_COMPILER OR NOT CMAKE_RC_COMPILER)
  message(FATAL_ERROR "MinGW-w64 for ${MINGW_TARGET} not found: apt-get install mingw-w64")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

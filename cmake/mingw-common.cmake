# Shared part of the mingw-w64 toolchain files; LUMAREST_MINGW_TRIPLE names the target.
set(CMAKE_C_COMPILER ${LUMAREST_MINGW_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${LUMAREST_MINGW_TRIPLE}-g++)
set(CMAKE_RC_COMPILER ${LUMAREST_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LUMAREST_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked statically: the executables need no MinGW DLL beside them,
# only DLLs that come with Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

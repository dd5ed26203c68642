# What both MinGW-w64 toolchains share; the including file sets
# CMAKE_SYSTEM_PROCESSOR and kq_mingw_prefix first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${kq_mingw_prefix}-gcc)
set(CMAKE_CXX_COMPILER ${kq_mingw_prefix}-g++)
set(CMAKE_RC_COMPILER ${kq_mingw_prefix}-windres)
set(CMAKE_AR ${kq_mingw_prefix}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${kq_mingw_prefix}-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP ${kq_mingw_prefix}-strip CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${kq_mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained exe: the runtime is linked in, only system DLLs remain.
# Small: every function and datum in a section of its own, and the linker
# drops those nothing reaches; the size-optimised build is stripped.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")

# The mingw-w64 cross toolchain named by TOOLCHAIN_PREFIX (set by the file
# that includes this one, with CMAKE_SYSTEM_PROCESSOR).
set(CMAKE_SYSTEM_NAME Windows)
# The posix thread model gives the C++ runtime std::mutex and std::thread
# (GoogleTest needs them); -static links its small winpthread in.
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

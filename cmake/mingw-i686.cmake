# Cross build for 32-bit Windows with MinGW-w64 (Debian: g++-mingw-w64-i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)

# The posix thread model: GCC 12's default win32 model has no std::mutex or
# std::thread, which GoogleTest needs.  With -static, winpthread is linked in,
# so the executables still import only Windows system DLLs.
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

# SETUP.EXE starts no threads and links the GCC runtime of the win32 thread
# model instead (tools/CMakeLists.txt): the folder of its libstdc++.a,
# libgcc.a and libgcc_eh.a, empty if that compiler is not installed.
execute_process(COMMAND ${TOOLCHAIN_PREFIX}-g++-win32 -print-file-name=libstdc++.a
                OUTPUT_VARIABLE win32_model_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE win32_model_result ERROR_QUIET)
if(win32_model_result EQUAL 0 AND IS_ABSOLUTE "${win32_model_libstdcxx}"
   AND EXISTS "${win32_model_libstdcxx}")
  get_filename_component(VELMORA_WIN32_MODEL_RUNTIME_DIR "${win32_model_libstdcxx}" DIRECTORY)
else()
  set(VELMORA_WIN32_MODEL_RUNTIME_DIR "")
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads).
# Qt and the other libraries for Windows are found through
# CMAKE_PREFIX_PATH (scripts/build-windows passes the unpacked kit); programs
# the build runs (generators) run under wine through the emulator below.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DATADICT_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DATADICT_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DATADICT_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DATADICT_MINGW_TRIPLE}-windres)

# DATADICT_WINDOWS_KIT: the folder holding the unpacked qt6/ and deps/.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DATADICT_WINDOWS_KIT)
set(CMAKE_FIND_ROOT_PATH /usr/${DATADICT_MINGW_TRIPLE} ${DATADICT_WINDOWS_KIT}/qt6 ${DATADICT_WINDOWS_KIT}/deps)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Host tools of the same Qt version (moc, rcc, uic) come from Debian's Qt.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")

# Build-time programs (and CTest's test commands) run under wine, with the
# kit's DLLs on their path.
get_filename_component(_dd_wine_run ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${_dd_wine_run} ${DATADICT_WINDOWS_KIT})

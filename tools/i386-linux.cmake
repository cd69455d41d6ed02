# The lessons as 32-bit x86 Linux programs, with Debian's i686 cross compiler
# (g++-i686-linux-gnu) against the :i386 development packages (multiarch):
#   tools/deps.sh i386
#   cmake -S . -B build-i386 -DCMAKE_TOOLCHAIN_FILE=tools/i386-linux.cmake
# The programs run here as they are, so the tests can run them too.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
# Only the :i386 libraries: never the 64-bit ones beside them, neither found
# directly nor through pkg-config.
set(CMAKE_IGNORE_PATH /usr/lib/x86_64-linux-gnu /lib/x86_64-linux-gnu)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig)

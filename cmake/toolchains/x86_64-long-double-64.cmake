# x86-64 with long double as wide as double, as with MSVC: the numerics must not depend on
# the x87 extended format. Everything linked with it (GoogleTest too) must be built with it.
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-mlong-double-64")
set(CMAKE_CXX_FLAGS_INIT "-mlong-double-64")

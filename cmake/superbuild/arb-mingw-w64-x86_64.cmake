# GMP, MPFR, FLINT and Arb built with MinGW-w64 (posix threads) as static libraries, so that the
# verdict module is one DLL. FLINT's configure runs test programs, under wine.
set(rootfinder_packages libflint-arb-dev libflint-dev libgmp-dev libmpfr-dev g++-mingw-w64-x86-64-posix)

function(rootfinder_steps)
  set(host --host=x86_64-w64-mingw32 --prefix=${prefix} --enable-static --disable-shared
      CC=${CMAKE_C_COMPILER} CFLAGS=-O2)
  # GMP: Debian's patch drops its manual, so its build files are made again, as Debian does.
  debian_source(gmp libgmp-dev PATCH_COMMAND autoreconf -fi
    CONFIGURE_COMMAND <SOURCE_DIR>/configure ${host}
    BUILD_COMMAND make -j${jobs} INSTALL_COMMAND make install)
  debian_source(mpfr libmpfr-dev DEPENDS gmp
    CONFIGURE_COMMAND <SOURCE_DIR>/configure ${host} --with-gmp=${prefix}
    BUILD_COMMAND make -j${jobs} INSTALL_COMMAND make install)
  # FLINT and Arb with their own CMake builds, without link-time optimisation: the objects stay
  # plain for the project's linker.
  set(static ${cmake_arguments} -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF)
  debian_source(flint libflint-dev DEPENDS mpfr CMAKE_ARGS ${static} -DIPO_SUPPORTED=OFF)
  debian_source(arb libflint-arb-dev DEPENDS flint CMAKE_ARGS ${static})
  set(rootfinder_libraries gmp mpfr flint arb PARENT_SCOPE)
endfunction()

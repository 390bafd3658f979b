# GMP, MPFR, FLINT and Arb built with MinGW-w64 (posix threads) as static libraries, so that the
# verdict module is one DLL. FLINT's configure runs test programs, under wine.
set(rootfinder_recipe_files archive-modules.cmake)
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
  # FLINT and Arb configured by their own CMake builds, without link-time optimisation (the
  # objects stay plain for the project's linker), but compiled only in the folders that the
  # verdict module's static link reaches: a third of Arb's objects and a sixth of FLINT's. The
  # folders were found by linking the module against the folders' objects until nothing was
  # undefined; a function of a folder left out fails the module's link, naming the function.
  set(static ${cmake_arguments} -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF)
  set(archive_modules ${CMAKE_CURRENT_SOURCE_DIR}/archive-modules.cmake)
  set(flint_modules fmpz fmpz_vec fmpz_poly ulong_extras mpn_extras thread_pool thread_support fft double_extras)
  set(arb_modules arb arf mag fmpz_extras acb hypgeom fmpzi arb_hypgeom)
  list(JOIN flint_modules , flint_modules)
  list(JOIN arb_modules , arb_modules)
  debian_source(flint libflint-dev DEPENDS mpfr CMAKE_ARGS ${static} -DIPO_SUPPORTED=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} -DTREE=<BINARY_DIR> -DTARGET=flint -DMODULES=${flint_modules} -P ${archive_modules}
    INSTALL_COMMAND ${CMAKE_COMMAND} --install <BINARY_DIR>)
  debian_source(arb libflint-arb-dev DEPENDS flint CMAKE_ARGS ${static}
    BUILD_COMMAND ${CMAKE_COMMAND} -DTREE=<BINARY_DIR> -DTARGET=arb -DMODULES=${arb_modules} -P ${archive_modules}
    INSTALL_COMMAND ${CMAKE_COMMAND} --install <BINARY_DIR>)
  set(rootfinder_libraries gmp mpfr flint arb PARENT_SCOPE)
endfunction()

# A cross build's third-party libraries: for each recipe in ROOTFINDER_THIRD_PARTY, the superbuild
# (cmake/superbuild, configured in this build tree) makes its prefix in the cache once and this
# configure finds it there. Included before project(), so that the toolchain file sees the
# prefixes (ROOTFINDER_THIRD_PARTY_PREFIX).
set(ROOTFINDER_THIRD_PARTY_CACHE /var/tmp/rootfinder-superbuild CACHE PATH
    "Where the superbuild keeps the cross builds' third-party libraries")
set(prefixes "")
foreach(recipe IN LISTS ROOTFINDER_THIRD_PARTY)
  set(superbuild ${CMAKE_BINARY_DIR}/third-party/${recipe})
  file(MAKE_DIRECTORY ${ROOTFINDER_THIRD_PARTY_CACHE})
  # One configure at a time builds a prefix; another, of this tree or another, waits for it.
  set(lock ${ROOTFINDER_THIRD_PARTY_CACHE}/${recipe}.lock)
  file(LOCK ${lock} TIMEOUT 7200)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${CMAKE_CURRENT_LIST_DIR}/superbuild -B ${superbuild} -G Ninja
                          -DROOTFINDER_RECIPE=${recipe} -DROOTFINDER_THIRD_PARTY_CACHE=${ROOTFINDER_THIRD_PARTY_CACHE}
                          -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
                  COMMAND_ERROR_IS_FATAL ANY)
  # Not through ccache: the prefix is the superbuild's own cache, and on a miss ccache preprocesses
  # each source in full beside its compile, past Qt's precompiled headers (half as much again).
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=CMAKE_C_COMPILER_LAUNCHER --unset=CMAKE_CXX_COMPILER_LAUNCHER
                          ${CMAKE_COMMAND} --build ${superbuild} COMMAND_ERROR_IS_FATAL ANY)
  file(LOCK ${lock} RELEASE)
  file(READ ${superbuild}/prefix.txt prefix)
  list(APPEND prefixes ${prefix})
  if(recipe MATCHES "^arb-")
    set(ROOTFINDER_ARB_PREFIX ${prefix} CACHE PATH "A cross build's Arb, FLINT, MPFR and GMP" FORCE)
  endif()
endforeach()
# What an earlier configure found in a prefix that a changed recipe has replaced is looked up
# again, in the new one.
foreach(former IN LISTS ROOTFINDER_THIRD_PARTY_PREFIX)
  if(NOT former IN_LIST prefixes)
    get_cmake_property(entries CACHE_VARIABLES)
    foreach(entry IN LISTS entries)
      string(FIND "$CACHE{${entry}}" "${former}" at)
      if(at EQUAL 0)
        unset(${entry} CACHE)
      endif()
    endforeach()
  endif()
endforeach()
set(ROOTFINDER_THIRD_PARTY_PREFIX ${prefixes} CACHE INTERNAL "The prefixes of ROOTFINDER_THIRD_PARTY")

# Builds, in a library's configured Ninja tree, only the objects of the named source folders (and
# those of its top folder), and archives them as the library its own build would make. Used where
# the library is large and the verdict module links a small part of it: the static link takes
# only what it needs, so the rest need not be compiled. The archive is installed by the library's
# own install rules (cmake --install).
#   cmake -DTREE=<binary dir> -DTARGET=<library target> -DMODULES=<folder,...> -P archive-modules.cmake
foreach(required TREE TARGET MODULES)
  if(NOT ${required})
    message(FATAL_ERROR "archive-modules: ${required} is not set")
  endif()
endforeach()
load_cache(${TREE} READ_WITH_PREFIX tree_ CMAKE_AR CMAKE_RANLIB CMAKE_MAKE_PROGRAM)
execute_process(COMMAND ${tree_CMAKE_MAKE_PROGRAM} -t targets all WORKING_DIRECTORY ${TREE}
                OUTPUT_VARIABLE targets COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "," "|" modules "${MODULES}")
string(REGEX MATCHALL "CMakeFiles/${TARGET}\\.dir/(${modules})/[^/:\n]+\\.obj?:" in_modules "${targets}")
string(REGEX MATCHALL "CMakeFiles/${TARGET}\\.dir/[^/:\n]+\\.obj?:" in_top "${targets}")
set(objects ${in_modules} ${in_top})
list(TRANSFORM objects REPLACE ":$" "")
list(LENGTH objects count)
if(count EQUAL 0)
  message(FATAL_ERROR "archive-modules: no objects of ${TARGET} in ${MODULES}")
endif()
message(STATUS "${TARGET}: ${count} objects of ${MODULES} and the top folder")
execute_process(COMMAND ${tree_CMAKE_MAKE_PROGRAM} ${objects} WORKING_DIRECTORY ${TREE} COMMAND_ERROR_IS_FATAL ANY)
# Where the library's own rule would write it.
string(REGEX MATCH "(^|\n)([^\n:]+): [A-Z]+_STATIC_LIBRARY_LINKER__${TARGET}_" archive "${targets}")
set(archive ${CMAKE_MATCH_2})
if(NOT archive)
  message(FATAL_ERROR "archive-modules: no static library ${TARGET} in ${TREE}")
endif()
file(REMOVE ${TREE}/${archive})
# Objects of different folders may share a name: appended (qc), none replaces another.
execute_process(COMMAND ${tree_CMAKE_AR} qc ${archive} ${objects} WORKING_DIRECTORY ${TREE} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${tree_CMAKE_RANLIB} ${archive} WORKING_DIRECTORY ${TREE} COMMAND_ERROR_IS_FATAL ANY)

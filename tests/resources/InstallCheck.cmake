# Installs the project's build into a scratch prefix and checks that both programs, the
# desktop entry, the hicolor icons and the manual pages land where menus and shells look.
#   cmake -DBUILD_DIR=<build tree> -DRESOURCES_DIR=<app/resources> -DWORK_DIR=<scratch> -P InstallCheck.cmake
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(
  COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${WORK_DIR}/prefix
  RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()
foreach(program rootfinder rootfinder-cli)
  foreach(file bin/${program} share/man/man1/${program}.1.gz)
    if(NOT EXISTS ${WORK_DIR}/prefix/${file})
      message(SEND_ERROR "${file} was not installed")
    endif()
  endforeach()
endforeach()

set(share ${WORK_DIR}/prefix/share)
set(expected ${share}/applications/rootfinder.desktop ${RESOURCES_DIR}/rootfinder.desktop)
foreach(size 16 24 32 48 256)
  list(APPEND expected
    ${share}/icons/hicolor/${size}x${size}/apps/rootfinder.png ${RESOURCES_DIR}/rootfinder-${size}.png)
endforeach()
list(APPEND expected ${share}/icons/hicolor/scalable/apps/rootfinder.svg ${RESOURCES_DIR}/rootfinder.svg)
while(expected)
  list(POP_FRONT expected installed source)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${installed} ${source} RESULT_VARIABLE differs)
  if(differs)
    message(SEND_ERROR "missing or different: ${installed}")
  endif()
endwhile()

# Menus find the icon and the program by these names.
file(STRINGS ${share}/applications/rootfinder.desktop lines REGEX "^(Icon|Exec)=")
if(NOT lines STREQUAL "Exec=rootfinder;Icon=rootfinder")
  message(SEND_ERROR "the desktop entry names ${lines}, not Exec=rootfinder and Icon=rootfinder")
endif()

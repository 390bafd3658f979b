# The executable's resources: on Windows the icon MAINICON, the version information and the
# manifest (rootfinder.rc); everywhere the same pictures as a Qt resource for the window icon,
# :/icons/rootfinder-<N>.png with N = 16, 24, 32, 48, 256; on Linux the desktop entry and the
# hicolor icons, installed by `cmake --install`.
# The pictures are drawn by draw_icon.py; its outputs are committed, so the build never runs it.
include(GNUInstallDirs)

set(ROOTFINDER_RESOURCES_DIR ${CMAKE_CURRENT_LIST_DIR})
set(ROOTFINDER_ICON_SIZES 16 24 32 48 256)

# Installs rootfinder.desktop and the icon at every drawn size under the hicolor theme.
function(rootfinder_install_desktop_files)
  install(FILES ${ROOTFINDER_RESOURCES_DIR}/rootfinder.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size IN LISTS ROOTFINDER_ICON_SIZES)
    install(FILES ${ROOTFINDER_RESOURCES_DIR}/rootfinder-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME rootfinder.png)
  endforeach()
endfunction()

# Gives the GUI executable `target` its resources. Needs Qt 6 found. Call it on the executable
# itself: a Qt resource or a .rc linked in from a static library may be dropped by the linker.
function(rootfinder_add_resources target)
  qt6_add_resources(icon_sources ${ROOTFINDER_RESOURCES_DIR}/icons.qrc)
  target_sources(${target} PRIVATE ${icon_sources})
  if(WIN32)
    target_sources(${target} PRIVATE ${ROOTFINDER_RESOURCES_DIR}/rootfinder.rc)
    if(MSVC)
      # rootfinder.rc carries the manifest; a second one from the linker would clash with it.
      target_link_options(${target} PRIVATE /MANIFEST:NO)
    endif()
  elseif(UNIX AND NOT APPLE)
    rootfinder_install_desktop_files()
  endif()
endfunction()

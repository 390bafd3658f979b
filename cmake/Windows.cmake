# The Windows build: what a Windows user downloads is a folder that runs as it is unpacked.
# The programs, the chart module, Qt's Russian texts and qt.conf sit side by side; with MinGW-w64
# and a static Qt nothing else is needed. `cpack` in the build tree makes two artifacts:
#   rootfinder-<version>-win64.zip  (-G ZIP)   the portable folder;
#   rootfinder-<version>-win64.exe  (-G NSIS)  an installer with a Start-menu shortcut, an entry in
#     the list of installed programs and an uninstaller; its pages follow the system's language
#     (Russian on a Russian system); /S installs silently, /D=DIR chooses the folder.

# The compiler's own runtime (libstdc++, libgcc, winpthreads) is linked in, into the chart
# module too, so no MinGW DLL has to travel with the programs.
if(MINGW)
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

# A static Qt links its plugins into each program: the default ones (the Windows platform and
# styles) by itself into executables; the offscreen platform, which the chart module and the
# window tests draw on, is named here. A module takes its plugins from a generated import list.
function(rootfinder_link_qt_plugins target)
  get_target_property(qt_core_type Qt6::Core TYPE)
  if(NOT qt_core_type STREQUAL "STATIC_LIBRARY")
    return()
  endif()
  get_target_property(target_type ${target} TYPE)
  if(target_type STREQUAL "EXECUTABLE")
    qt_import_plugins(${target} INCLUDE Qt6::QOffscreenIntegrationPlugin)
  else()
    set(import_list ${CMAKE_CURRENT_BINARY_DIR}/${target}_qt_plugins.cpp)
    file(GENERATE OUTPUT ${import_list} CONTENT "#include <QtPlugin>\nQ_IMPORT_PLUGIN(QOffscreenIntegrationPlugin)\n")
    target_sources(${target} PRIVATE ${import_list})
    target_link_libraries(${target} PRIVATE Qt6::QOffscreenIntegrationPlugin)
  endif()
endfunction()

if(NOT ROOTFINDER_GUI)
  return()
endif()

# Qt's own texts in Russian (Debian's qt6-translations-l10n, the same on every platform), found
# through qt.conf beside the programs.
find_file(ROOTFINDER_QTBASE_RU qtbase_ru.qm PATHS /usr/share/qt6/translations NO_CMAKE_FIND_ROOT_PATH)
if(ROOTFINDER_QTBASE_RU)
  install(FILES ${ROOTFINDER_QTBASE_RU} DESTINATION translations)
else()
  message(WARNING "qtbase_ru.qm not found (qt6-translations-l10n): Qt's own texts will be English")
endif()
set(qt_conf ${CMAKE_CURRENT_BINARY_DIR}/qt.conf)
file(WRITE ${qt_conf} "[Paths]\nPrefix = .\nTranslations = translations\n")
install(FILES ${qt_conf} DESTINATION ${CMAKE_INSTALL_BINDIR})
# The build tree's programs and window tests find them the same way.
foreach(folder app tests/framework/gui tests/ui tests/app)
  file(COPY ${qt_conf} DESTINATION ${CMAKE_CURRENT_BINARY_DIR}/${folder})
  if(ROOTFINDER_QTBASE_RU)
    file(COPY ${ROOTFINDER_QTBASE_RU} DESTINATION ${CMAKE_CURRENT_BINARY_DIR}/${folder}/translations)
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME LICENSE.txt)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_NAME rootfinder)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${ROOTFINDER_DEVELOPER}")
set(CPACK_PACKAGE_HOMEPAGE_URL ${ROOTFINDER_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Корни уравнения e^x/x^3 - sin^3(x) - 2 = 0 на отрезке")
set(CPACK_PACKAGE_FILE_NAME rootfinder-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY rootfinder)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY rootfinder)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)

# Start menu: «rootfinder» starts the window (CPack's pair: executable, shortcut's name).
set(CPACK_PACKAGE_EXECUTABLES rootfinder rootfinder)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME "rootfinder ${PROJECT_VERSION}")
set(CPACK_NSIS_PACKAGE_NAME rootfinder)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/app/resources/rootfinder.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/app/resources/rootfinder.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME rootfinder.exe)
set(CPACK_NSIS_URL_INFO_ABOUT ${ROOTFINDER_HOMEPAGE})
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# A 64-bit installer for 64-bit programs (it also runs where no 32-bit Windows layer is set up).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
include(CPack)

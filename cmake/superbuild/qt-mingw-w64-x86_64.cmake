# Qt and QCustomPlot for the window on Windows x86-64, linked statically, with MinGW-w64 (posix
# threads). Qt's host tools (moc, rcc, uic) are Debian's own, of the same version.
set(rootfinder_packages qt6-base-dev-tools qt6-svg-dev libqcustomplot-dev g++-mingw-w64-x86-64-posix)
set(rootfinder_recipe_files qcustomplot/CMakeLists.txt)

function(rootfinder_steps)
  set(qt ${cmake_arguments} -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
  # qtbase with only what the window, its chart and its tests link and load: Core, Gui, Widgets,
  # PrintSupport (QCustomPlot's printing and the PDF writer), Test, the windows platform with the
  # windowsvista style, and the offscreen platform (the chart module's and the window's tests'),
  # which takes its fonts through FreeType. Qt's own configure features turn off the modules and
  # plugins nothing loads (SQL, network, D-Bus, XML, concurrency, the Direct2D platform, Vulkan)
  # and the widgets, dialogs and styles the window never shows. Style sheets stay (the forms set
  # their font with one), and so do the main window with its tool and menu bars, the tab bar and
  # the input dialog, which Qt Widgets' compatibility source and the windowsvista style include
  # whatever the features. Text is laid out without HarfBuzz: every text the window shows is
  # Cyrillic, Latin or digits, which need no shaping beyond the font's own glyphs and kerning
  # (HarfBuzz's 53 sources take 230 CPU seconds to compile). OpenGL stays: the windows platform
  # plugin does not compile without it (it loads OpenGL at run time); so does Direct2D itself,
  # without which Qt GUI leaves out the DirectWrite font engine that it still calls. Debian's
  # repacked sources leave out wintab.h (so no tablet events). The third-party libraries are Qt's
  # bundled copies.
  set(unused_features
    sql network dbus concurrent xml direct2d1_1 vulkan tabletevent sessionmanager systemtrayicon
    jpeg movie textmarkdownreader textmarkdownwriter textodfwriter syntaxhighlighter imageformat_ppm
    imageformat_xbm graphicsview mdiarea calendarwidget datetimeedit dial lcdnumber toolbox wizard
    fontdialog colordialog undoview splashscreen keysequenceedit columnview fontcombobox style_fusion
    harfbuzz mimetype dockwidget statusbar textbrowser progressdialog errormessage commandlinkbutton
    datawidgetmapper treewidget printdialog undocommand transposeproxymodel
    concatenatetablesproxymodel sharedmemory systemsemaphore jalalicalendar islamiccivilcalendar)
  list(TRANSFORM unused_features PREPEND -DFEATURE_)
  list(TRANSFORM unused_features APPEND =OFF)
  debian_source(qtbase qt6-base-dev-tools CMAKE_ARGS ${qt}
    -DBUILD_SHARED_LIBS=OFF -DQT_QMAKE_TARGET_MKSPEC=win32-g++
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF ${unused_features}
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_freetype=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF)
  set(libraries qtbase)
  # Qt SVG writes the chart's SVG pictures. Where Debian's mirror does not serve its source, the
  # window and --plot are built without SVG and say so when asked for one.
  installed_version(qtsvg qt6-svg-dev SOURCE)
  set(probe ${CMAKE_BINARY_DIR}/qtsvg-probe)
  file(MAKE_DIRECTORY ${probe})
  execute_process(COMMAND apt-get source -qq --download-only ${qtsvg} WORKING_DIRECTORY ${probe}
                  RESULT_VARIABLE unserved OUTPUT_QUIET ERROR_QUIET)
  if(unserved)
    message(STATUS "Debian's source of ${qtsvg} cannot be fetched here: no Qt SVG")
  else()
    debian_source(qtsvg qt6-svg-dev DEPENDS qtbase CMAKE_ARGS ${qt} -DBUILD_SHARED_LIBS=OFF
      -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF)
    list(APPEND libraries qtsvg)
  endif()
  # QCustomPlot: its one source file as a static library, with this folder's CMake build.
  debian_source(qcustomplot libqcustomplot-dev DEPENDS qtbase CMAKE_ARGS ${qt}
    PATCH_COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/qcustomplot/CMakeLists.txt <SOURCE_DIR>)
  set(rootfinder_libraries ${libraries} qcustomplot PARENT_SCOPE)
endfunction()

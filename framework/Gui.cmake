# The window services: the application object, forms, controls and the chart (its series'
# storage, the widget with its interaction, its pictures), over Qt Widgets and QCustomPlot; Qt
# SVG writes the chart's SVG pictures where it is built (a build without it refuses SVG with a
# message). This directory is added before the top level looks for Qt, and QCustomPlot's package
# needs PrintSupport found first.
find_package(Qt6 REQUIRED COMPONENTS Widgets PrintSupport OPTIONAL_COMPONENTS Svg)
find_package(QCustomPlotQt6 REQUIRED)

add_library(framework_gui STATIC
  Application.cpp Application.h
  Forms.cpp Forms.h
  Controls.cpp Controls.h
  Series.cpp Series.h
  Chart.cpp Chart.h ChartImage.cpp)
set_target_properties(framework_gui PROPERTIES AUTOMOC ON)
target_include_directories(framework_gui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(framework_gui PUBLIC framework_base os Qt6::Widgets QCustomPlotQt6::QCustomPlotQt6)
if(TARGET Qt6::Svg)
  target_link_libraries(framework_gui PRIVATE Qt6::Svg)
  target_compile_definitions(framework_gui PUBLIC ROOTFINDER_HAVE_SVG=1)
else()
  target_compile_definitions(framework_gui PUBLIC ROOTFINDER_HAVE_SVG=0)
endif()

# The Debian package: `cpack -G DEB` in the build tree makes rootfinder_<version>_<arch>.deb from
# what `cmake --install` installs, under /usr, with stripped programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rootfinder)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "${ROOTFINDER_DEVELOPER}")
set(CPACK_PACKAGE_HOMEPAGE_URL ${ROOTFINDER_HOMEPAGE})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find the real roots of e^x/x^3 - sin^3(x) - 2 on an interval")
set(CPACK_PACKAGE_DESCRIPTION [[
Root finder locates the real roots of f(x) = e^x / x^3 - sin^3(x) - 2 on an
interval [a, b]: it scans the interval in steps of h for sign changes of f,
refines each with the secant method to a tolerance EPS, lists the roots and
draws the graph of f.

The package holds the window program rootfinder, whose texts are Russian, and
rootfinder-cli, which runs the same computation on machines with no display
and can write the plot points, the roots and the chart to files.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories made by the package are 0755 whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ROOTFINDER_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link are found by dpkg-shlibdeps. What Qt loads at run time is not:
# the window cannot open without the platform plugins (X11, Wayland), so they are required;
# Qt's translations (its own buttons and menus in the user's language) and the Tahoma font the
# window is laid out in are recommended, as the programs run without them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-wine")

include(CPack)

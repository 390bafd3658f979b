# The one version number, project()'s, reaches the code through Version.h (the INTERFACE target
# rootfinder_version) and the Windows resource script through a generated copy of it. The
# manuals, the metainfo and the package take it from the same variables.
set(ROOTFINDER_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${ROOTFINDER_GENERATED_DIR}/Version.h @ONLY)

add_library(rootfinder_version INTERFACE)
# Named "generated/Version.h" from the build tree's root.
target_include_directories(rootfinder_version INTERFACE ${PROJECT_BINARY_DIR})

# The resource compiler resolves the icon and the manifest against the script's own folder,
# so the generated script names them by absolute path.
set(ROOTFINDER_RESOURCES_DIR ${PROJECT_SOURCE_DIR}/app/resources)
set(ROOTFINDER_RC_FILE ${ROOTFINDER_GENERATED_DIR}/rootfinder.rc)
configure_file(${ROOTFINDER_RESOURCES_DIR}/rootfinder.rc.in ${ROOTFINDER_RC_FILE} @ONLY)

# Who publishes the release, where, and when: for the manuals, the metainfo and the package.
# The home page is a placeholder until the project has a public one; the metainfo's screenshot
# is looked for there (window.png, the picture in docs/).
set(ROOTFINDER_RELEASE_DATE 2026-12-07)
set(ROOTFINDER_HOMEPAGE "https://example.org/rootfinder" CACHE STRING "The project's home page")
set(ROOTFINDER_DEVELOPER "The rootfinder developers")
set(ROOTFINDER_MAINTAINER "rootfinder developers <rootfinder@example.org>" CACHE STRING
    "Maintainer of the Debian package, as Name <address>")
set(ROOTFINDER_APPSTREAM_ID org.example.rootfinder)

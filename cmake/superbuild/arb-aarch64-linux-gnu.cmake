# Debian's own arm64 packages of Arb, FLINT, MPFR, GMP and FLINT's run-time dependencies,
# unpacked into one folder (FLINT's development package cannot be installed beside the host's):
# headers under usr/include, libraries under usr/lib/aarch64-linux-gnu.
set(rootfinder_packages libflint-arb-dev libflint-arb2 libflint-dev libflint17 libgmp-dev libgmp10
    libmpfr-dev libmpfr6 libntl44 libgf2x3)

function(rootfinder_steps)
  set(fetch apt-get download -qq)
  set(unpack "")
  foreach(package IN LISTS rootfinder_packages)
    installed_version(version ${package})
    string(REPLACE "=" ":arm64=" wanted ${version})
    list(APPEND fetch ${wanted})
    string(REGEX REPLACE "=([0-9]+):" "=\\1%3a" deb ${version}) # apt-get download's file name
    string(REPLACE "=" "_" deb ${deb}_arm64.deb)
    list(APPEND unpack COMMAND dpkg-deb -x <DOWNLOAD_DIR>/${deb} ${prefix})
  endforeach()
  ExternalProject_Add(arm64_packages ${logged}
    DOWNLOAD_COMMAND ${fetch} CONFIGURE_COMMAND "" BUILD_COMMAND ""
    INSTALL_COMMAND ${CMAKE_COMMAND} -E make_directory ${prefix} ${unpack})
  set(rootfinder_libraries arm64_packages PARENT_SCOPE)
endfunction()

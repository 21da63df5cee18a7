# The release layout: `cmake --install build/x86 --prefix DIR` puts the two launchers, README.txt
# (the user part of README.md) and SHA256SUMS into DIR. tools/package.sh zips that layout, one
# zip per architecture.
if(NOT WIN32)
  return()
endif()

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LAUNCHER_PACKAGE_ARCH x64)
else()
  set(LAUNCHER_PACKAGE_ARCH x86)
endif()

install(TARGETS update_launcher install_launcher RUNTIME DESTINATION .)
# Written after the executables, so that the checksums are those of the files in the layout.
install(CODE "
  set(LAUNCHER_README \"${PROJECT_SOURCE_DIR}/README.md\")
  set(LAUNCHER_VERSION \"${PROJECT_VERSION}\")
  set(LAUNCHER_ARCH \"${LAUNCHER_PACKAGE_ARCH}\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/ReleaseFiles.cmake\")
")

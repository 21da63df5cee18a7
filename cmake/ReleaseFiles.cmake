# Install-time part of the release layout (included by the install script that Packaging.cmake
# writes): README.txt from the user part of README.md, then SHA256SUMS over the layout.
# In:  LAUNCHER_README, LAUNCHER_VERSION, LAUNCHER_ARCH.
set(destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(begin "<!-- user-part-begin -->")
set(end "<!-- user-part-end -->")

if(NOT EXISTS "${LAUNCHER_README}")
  message(FATAL_ERROR "${LAUNCHER_README} is missing: README.txt is its user part")
endif()
file(READ "${LAUNCHER_README}" readme)
string(FIND "${readme}" "${begin}" first)
string(FIND "${readme}" "${end}" last)
if(first EQUAL -1 OR last EQUAL -1 OR last LESS first)
  message(FATAL_ERROR "${LAUNCHER_README} does not mark its user part with ${begin} ... ${end}")
endif()
string(LENGTH "${begin}" beginLength)
math(EXPR first "${first} + ${beginLength}")
math(EXPR length "${last} - ${first}")
string(SUBSTRING "${readme}" ${first} ${length} userPart)
string(STRIP "${userPart}" userPart)

# Windows line ends, so that every editor on the target shows the lines.
set(text "update.exe and install.exe ${LAUNCHER_VERSION} (${LAUNCHER_ARCH})\n\n${userPart}\n")
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${destination}/README.txt" "${text}")
message(STATUS "Installing: ${destination}/README.txt")

# The format of sha256sum (and of `sha256sum -c`); on Windows, Get-FileHash shows the same hex.
set(sums "")
foreach(name install.exe update.exe README.txt)
  file(SHA256 "${destination}/${name}" hash)
  string(APPEND sums "${hash}  ${name}\n")
endforeach()
file(WRITE "${destination}/SHA256SUMS" "${sums}")
message(STATUS "Installing: ${destination}/SHA256SUMS")

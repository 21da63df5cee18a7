# Warnings and code-generation settings shared by every target. Compiler-specific flags are guarded
# so that the sources also build with MSVC.

function(launcher_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${LAUNCHER_WARNINGS_AS_ERRORS}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion
                                             $<$<BOOL:${LAUNCHER_WARNINGS_AS_ERRORS}>:-Werror>)
  endif()
endfunction()

if(LAUNCHER_SANITIZE AND NOT MSVC AND NOT WIN32)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32 AND NOT MSVC)
  # Small, self-contained executables: no runtime DLL beside them, unused code dropped, and no
  # time stamp or build path inside so that two builds of one commit are byte-identical.
  add_compile_options(-ffunction-sections -fdata-sections
                      -ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
  add_link_options(-static -s -Wl,--gc-sections -Wl,--no-insert-timestamp
                   -Wl,--dynamicbase -Wl,--nxcompat)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(-Wl,--high-entropy-va)
  endif()
endif()

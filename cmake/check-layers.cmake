# Fails when a file of a lower layer includes a header of a higher one. Layers from the bottom:
#   0  common/core, common/calibration   (portable)
#   1  common/win
#   2  ui
#   3  forms
#   4  programs
# A header is known by its file name, as the includes name it; folders outside the layers
# (driver, tools, tests/support, bench) are not checked.
#   cmake -DROOT=<source folder> -P check-layers.cmake
set(layers common/core common/calibration common/win ui forms programs)
set(levels 0 0 1 2 3 4)

function(layer_of path out)
  set(level -1)
  foreach(layer level_of IN ZIP_LISTS layers levels)
    string(LENGTH "${layer}/" n)
    string(SUBSTRING "${path}" 0 ${n} head)
    if(head STREQUAL "${layer}/")
      set(level ${level_of})
    endif()
  endforeach()
  set(${out} ${level} PARENT_SCOPE)
endfunction()

set(files "")
foreach(layer IN LISTS layers)
  file(GLOB_RECURSE found RELATIVE ${ROOT} ${ROOT}/${layer}/*.h ${ROOT}/${layer}/*.cpp)
  list(APPEND files ${found})
endforeach()

# The lowest layer that has a header of each name.
foreach(file IN LISTS files)
  if(file MATCHES "\\.h$")
    get_filename_component(name ${file} NAME)
    layer_of(${file} level)
    string(MAKE_C_IDENTIFIER "${name}" key)
    if(NOT DEFINED header_${key} OR level LESS header_${key})
      set(header_${key} ${level})
    endif()
  endif()
endforeach()

set(violations "")
foreach(file IN LISTS files)
  layer_of(${file} level)
  file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
    get_filename_component(name ${included} NAME)
    string(MAKE_C_IDENTIFIER "${name}" key)
    if(DEFINED header_${key} AND header_${key} GREATER level)
      string(APPEND violations "  ${file} includes ${included}\n")
    endif()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "A layer includes a header of a layer above it:\n${violations}")
endif()
list(LENGTH files count)
message(STATUS "layer includes: ${count} files checked, none reaches up")

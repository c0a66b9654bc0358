# Fails when a file under src/ includes one from a higher layer. The layers,
# lowest first: platform and resources; document; files, editing, effects,
# generators and audio; views; shell; the hosts (every folder named qt, the
# headless platform, and the batch tool), which may include anything.
# Files of one layer may include each other.
#
#   cmake -DSOURCE_DIR=<repository>/src -P include_layers.cmake

if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()

set(rank_platform 0)
set(rank_resources 0)
set(rank_document 1)
set(rank_files 2)
set(rank_editing 2)
set(rank_effects 2)
set(rank_generators 2)
set(rank_audio 2)
set(rank_views 3)
set(rank_shell 4)
set(rank_cli 5)
set(host_rank 5)

# The rank of a path relative to src/ in `out`; empty for a top folder that
# has no rank yet.
function(layer_rank path out)
  if(path MATCHES "(^|/)qt/" OR path MATCHES "^platform/headless/")
    set(${out} ${host_rank} PARENT_SCOPE)
    return()
  endif()
  string(REGEX MATCH "^[^/]+" top "${path}")
  set(${out} "${rank_${top}}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
list(SORT sources)
set(faults "")
foreach(source IN LISTS sources)
  if(NOT source MATCHES "/")
    continue()  # nothing lives at the top of src/
  endif()
  layer_rank("${source}" own)
  if(own STREQUAL "")
    string(REGEX MATCH "^[^/]+" top "${source}")
    string(APPEND faults "  ${source}: folder ${top}/ has no layer; give it one here\n")
    continue()
  endif()
  file(STRINGS "${SOURCE_DIR}/${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" target "${line}")
    if(NOT target MATCHES "/")
      continue()  # a sibling in the same folder
    endif()
    string(REGEX MATCH "^[^/]+" top "${target}")
    if(NOT EXISTS "${SOURCE_DIR}/${top}")
      continue()  # not one of ours
    endif()
    layer_rank("${target}" theirs)
    if(theirs STREQUAL "" OR theirs GREATER own)
      string(APPEND faults "  ${source} includes \"${target}\", which is a layer above it\n")
    endif()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes that point up:\n${faults}")
endif()
message(STATUS "Every include under ${SOURCE_DIR} points down or sideways.")

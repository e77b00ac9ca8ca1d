# Fails when a file of src/ includes a layer above its own or beside it, or when a pure C++
# layer includes a Qt header. The layers from the lowest; the layers of one line are peers and
# use only the lines below theirs:
#   text containers        text: UTF-8, folding, the word test; containers: archive members
#   regexpr platform       both on text/ alone
#   durable                durable writes, on platform/
#   results platform/linux the result rows; the Linux implementations of platform/ (Qt)
#   engine
#   settings fileops reports
#   project
#   ui
#   app
# Inside src/engine the folders include only downward too: query, decode, index, search, viewer,
# backup, modify.
# Run as: cmake -DSRC_DIR=<src> -P CheckLayerIncludes.cmake
cmake_minimum_required(VERSION 3.25)
set(_ranks "text containers" "regexpr platform" "durable" "results platform/linux" "engine"
    "settings fileops reports" "project" "ui" "app")
set(_withQt ui app platform/linux)
set(_engineOrder query decode index search viewer backup modify)
list(JOIN _engineOrder " < " _engineText)

# The layer a path below src/ (or an include's path) belongs to.
function(_layer_of path out)
  if(path MATCHES "^platform/linux/")
    set(${out} platform/linux PARENT_SCOPE)
  else()
    string(REGEX REPLACE "/.*" "" _top "${path}")
    set(${out} ${_top} PARENT_SCOPE)
  endif()
endfunction()

function(_rank_of layer out)
  set(_i 0)
  foreach(_line ${_ranks})
    string(REPLACE " " ";" _peers "${_line}")
    if(layer IN_LIST _peers)
      set(${out} ${_i} PARENT_SCOPE)
      return()
    endif()
    math(EXPR _i "${_i} + 1")
  endforeach()
  set(${out} -1 PARENT_SCOPE)
endfunction()

set(_bad "")
file(GLOB_RECURSE _files RELATIVE ${SRC_DIR} ${SRC_DIR}/*.h ${SRC_DIR}/*.cpp)
foreach(_rel ${_files})
  _layer_of("${_rel}" _own)
  _rank_of(${_own} _ownRank)
  if(_ownRank EQUAL -1)
    list(APPEND _bad "${_rel}: its folder is in no layer")
    continue()
  endif()
  file(STRINGS ${SRC_DIR}/${_rel} _includes REGEX "^#include [\"<]")
  foreach(_line ${_includes})
    if(_line MATCHES "^#include <Q" AND NOT _own IN_LIST _withQt)
      list(APPEND _bad "${_rel}: ${_line} (a Qt header in a pure C++ layer)")
      continue()
    endif()
    if(NOT _line MATCHES "^#include \"([a-z_]+/[^\"]*)\"")
      continue()
    endif()
    set(_path ${CMAKE_MATCH_1})
    _layer_of("${_path}" _target)
    if(_target STREQUAL _own)
      if(_own STREQUAL "engine")
        string(REGEX REPLACE "^engine/([a-z_]+)/.*" "\\1" _from "${_rel}")
        string(REGEX REPLACE "^engine/([a-z_]+)/.*" "\\1" _to "${_path}")
        list(FIND _engineOrder ${_from} _fromRank)
        list(FIND _engineOrder ${_to} _toRank)
        if(_fromRank EQUAL -1 OR _toRank EQUAL -1 OR _toRank GREATER _fromRank)
          list(APPEND _bad "${_rel}: ${_line} (engine folders: ${_engineText})")
        endif()
      endif()
      continue()
    endif()
    _rank_of(${_target} _targetRank)
    # A name that is no layer (a header of the tool's own folder) is no concern here.
    if(_targetRank EQUAL -1)
      continue()
    endif()
    if(_targetRank GREATER _ownRank)
      list(APPEND _bad "${_rel}: ${_line} (upward)")
    elseif(_targetRank EQUAL _ownRank)
      list(APPEND _bad "${_rel}: ${_line} (sideways)")
    endif()
  endforeach()
endforeach()
if(_bad)
  list(JOIN _bad "\n  " _text)
  list(JOIN _ranks " < " _order)
  message(FATAL_ERROR "Includes against the layers (${_order}):\n  ${_text}")
endif()

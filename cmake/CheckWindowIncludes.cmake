# Fails when a file of src/ui outside the window's own folder, or of src/app, includes the window's
# header (the program makes its window through ui/window/main_window.h), or
# looks a part up with findChild: the window's parts see it only through the host each declares.
# A host offers operations ("read the path", "tick the box"), not the window's fields, buttons
# and tabs: one that hands out such a control fails too.
# Run as: cmake -DUI_DIR=<src/ui> -P CheckWindowIncludes.cmake
file(GLOB_RECURSE _files ${UI_DIR}/*.h ${UI_DIR}/*.cpp ${UI_DIR}/../app/*.h ${UI_DIR}/../app/*.cpp)
set(_bad "")
foreach(_file ${_files})
  file(RELATIVE_PATH _rel ${UI_DIR} ${_file})
  if(_rel MATCHES "^window/")
    continue()
  endif()
  file(STRINGS ${_file} _includes REGEX "^#include \"ui/window/find_window\\.h\"")
  foreach(_line ${_includes})
    list(APPEND _bad "${_rel}: ${_line}")
  endforeach()
  if(_rel MATCHES "_host\\.h$")
    file(STRINGS ${_file} _controls REGEX
         "virtual[^(]*Q(ComboBox|PlainTextEdit|LineEdit|ButtonGroup|CheckBox|RadioButton|PushButton|ToolButton|TabWidget|Label|SpinBox|DateEdit) *\\*")
    foreach(_line ${_controls})
      string(REGEX REPLACE " *= *0;.*" "" _line "${_line}")
      string(STRIP "${_line}" _line)
      if(_line)
        list(APPEND _bad "${_rel}: hands out a control: ${_line}")
      endif()
    endforeach()
  endif()
  file(STRINGS ${_file} _lookups REGEX "findChild<")
  if(_lookups)
    list(APPEND _bad "${_rel}: findChild")
  endif()
endforeach()
if(_bad)
  list(JOIN _bad "\n  " _text)
  message(FATAL_ERROR "Window parts that reach the window itself:\n  ${_text}")
endif()

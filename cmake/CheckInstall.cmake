# Installs the build into a scratch prefix and checks that what the help pages and the README
# point users at is there: the program, vsr-search and its PDF reader, the help pages, the manual page, and what a
# desktop looks for (desktop file, metainfo, project file type, icons, file-manager entries).
# Run with -DBUILD_DIR=... -DPREFIX=... -DWITH_PROGRAM=ON|OFF -DAPP_ID=...
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${err}")
endif()
set(expected bin/vsr-search libexec/vantixsr/vsr-pdf-text share/man/man1/vsr-search.1.gz)
if(WITH_PROGRAM)
  list(APPEND expected bin/vantixsr share/vantixsr/help/Intro.htm share/man/man1/vantixsr.1.gz
       share/applications/${APP_ID}.desktop share/metainfo/${APP_ID}.metainfo.xml share/mime/packages/vantixsr.xml
       share/icons/hicolor/scalable/apps/vantixsr.svg share/icons/hicolor/48x48/apps/vantixsr.png
       share/kio/servicemenus/vantixsr-search-here.desktop libexec/vantixsr/search-in-folder)
endif()
foreach(f ${expected})
  if(NOT EXISTS "${PREFIX}/${f}")
    message(FATAL_ERROR "not installed: ${f}")
  endif()
endforeach()
execute_process(COMMAND "${PREFIX}/bin/vsr-search" --help RESULT_VARIABLE status OUTPUT_VARIABLE out)
if(NOT status EQUAL 0 OR NOT out MATCHES "--dry-run")
  message(FATAL_ERROR "the installed vsr-search does not run: ${status}")
endif()
if(WITH_PROGRAM)
  # The desktop file must name the folder MIME type and pass files on, or "Open With" on a folder
  # or a double-clicked project would start the window empty.
  file(READ "${PREFIX}/share/applications/${APP_ID}.desktop" desktop)
  foreach(want "Exec=vantixsr %F" "inode/directory;" "application/x-vantixsr-project;"
          "/libexec/vantixsr/search-in-folder\n")
    string(FIND "${desktop}" "${want}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the desktop file lacks \"${want}\"")
    endif()
  endforeach()
endif()
file(REMOVE_RECURSE "${PREFIX}")

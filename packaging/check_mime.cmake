# Builds a MIME database from our type alone and checks that a .vsr file gets the project type,
# as the file manager will see it once the package's trigger has run update-mime-database.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/packages")
configure_file("${MIME_XML}" "${WORK}/packages/vantixsr.xml" COPYONLY)
execute_process(COMMAND "${UPDATE_MIME_DATABASE}" "${WORK}" RESULT_VARIABLE status ERROR_VARIABLE err OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "update-mime-database refused the type: ${err}")
endif()
file(STRINGS "${WORK}/globs2" globs REGEX "application/x-vantixsr-project:\\*\\.vsr$")
if(NOT globs)
  message(FATAL_ERROR "*.vsr is not mapped to application/x-vantixsr-project")
endif()
file(REMOVE_RECURSE "${WORK}")

# Writes the manual page: help2man asks the program for --help and --version and merges in the
# include file; preconv turns the include file's UTF-8 (the Japanese glossary) into groff escapes,
# so the page renders the same whatever the reader's locale; gzip -9n makes the packaged copy.
# Run as: cmake -DHELP2MAN=… -DPRECONV=… -DGZIP=… -DPROGRAM=… -DINCLUDE=… -DOUTPUT=… -P manpage.cmake

# help2man writes in its locale's encoding (C, ASCII, by default); the include file is UTF-8.
execute_process(
  COMMAND ${HELP2MAN} --locale=C.UTF-8 --section=6 --no-info --include=${INCLUDE} --output=${OUTPUT}.utf8
          ${PROGRAM}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help2man failed on ${PROGRAM}")
endif()
execute_process(COMMAND ${PRECONV} -e UTF-8 ${OUTPUT}.utf8
  OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "preconv failed on ${OUTPUT}.utf8")
endif()
execute_process(COMMAND ${GZIP} -9nc ${OUTPUT} OUTPUT_FILE ${OUTPUT}.gz RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${OUTPUT}")
endif()

# Runs tarvel-moduleinfo at build time (cmake -P), under the cross build's
# emulator if there is one. Its output goes to a log file, not to the build
# tool's pipe: Wine's server outlives the program and would keep the pipe,
# and with it the build, waiting.
#   -DEMULATOR=<wine-run.sh or empty> -DTOOL=<tarvel-moduleinfo> -DBUNDLE=<bundle>
#   -DOUTPUT=<moduleinfo.json> -DLOG=<log file>
execute_process(
  COMMAND ${EMULATOR} ${TOOL} ${BUNDLE} ${OUTPUT}
  INPUT_FILE /dev/null
  OUTPUT_FILE ${LOG}
  ERROR_FILE ${LOG}
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  file(READ ${LOG} log)
  message(FATAL_ERROR "tarvel-moduleinfo failed (${result}):\n${log}")
endif()

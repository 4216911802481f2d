# ombrix-batch view-elec-use with nothing loaded: the guard's box on standard error, status 1.
execute_process(COMMAND ${BATCH} view-elec-use RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
if(NOT rc EQUAL 1)
    message(FATAL_ERROR "exit status ${rc}, expected 1")
endif()
if(NOT err STREQUAL "Ombrix: Must open energy file to view this graph.\n")
    message(FATAL_ERROR "standard error was: ${err}")
endif()
if(NOT out STREQUAL "")
    message(FATAL_ERROR "standard output was: ${out}")
endif()

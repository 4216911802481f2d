# ombrix-batch open-energy E open-weather W: the two size lines on standard output, no box.
execute_process(COMMAND ${BATCH} open-energy ${DATA}/Bldg.utl open-weather ${DATA}/Bldg.wea
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(expected " BLDG.UTL     Number rows = 13     Number columns = 8\n")
string(APPEND expected " BLDG.WEA     Number rows = 365     Number columns = 4\n")
if(NOT out STREQUAL expected)
    message(FATAL_ERROR "standard output was:\n${out}\nexpected:\n${expected}")
endif()
if(NOT err STREQUAL "")
    message(FATAL_ERROR "standard error was: ${err}")
endif()
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "exit status ${rc}, expected 0")
endif()

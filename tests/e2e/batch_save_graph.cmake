# ombrix-batch save-graph loads the graph export module: an SVG and a PNG file, no message.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${BATCH} open-energy ${DATA}/Bldg.utl view-elec-use
                        save-graph ${OUT}/use.svg save-graph ${OUT}/use.png
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "exit status ${rc}, standard error: ${err}")
endif()
file(READ ${OUT}/use.svg svg LIMIT 100)
if(NOT svg MATCHES "^<\\?xml.*<svg")
    message(FATAL_ERROR "use.svg starts with ${svg}")
endif()
file(READ ${OUT}/use.png png LIMIT 4 HEX)
if(NOT png STREQUAL "89504e47")
    message(FATAL_ERROR "use.png starts with ${png}")
endif()

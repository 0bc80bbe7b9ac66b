# SPDX-License-Identifier: GPL-3.0-or-later
# Runs PROGRAM with the options FLAGS (where given) and the arguments IN and OUT, its standard output
# discarded (vorn echoes every line it reads); fails the build when the program fails.
execute_process(COMMAND ${PROGRAM} ${FLAGS} ${IN} ${OUT} OUTPUT_QUIET RESULT_VARIABLE result
                ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} ${IN} ${OUT} failed (${result}): ${errors}")
endif()

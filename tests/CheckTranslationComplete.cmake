# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a text of the program has no finished translation in TS_FILE: the translation is
# brought up to the sources in a copy (as update_translations would), then lrelease counts.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
get_filename_component(name "${TS_FILE}" NAME)
file(COPY "${TS_FILE}" DESTINATION "${WORK_DIR}")
execute_process(COMMAND "${LUPDATE}" "${SOURCE_DIR}" -ts "${WORK_DIR}/${name}" -no-obsolete -locations none
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lupdate:\n${output}")
endif()
execute_process(COMMAND "${LRELEASE}" "${WORK_DIR}/${name}" -qm "${WORK_DIR}/translation.qm"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output MATCHES "\\(([0-9]+) finished and ([0-9]+) unfinished\\)")
  message(FATAL_ERROR "lrelease:\n${output}")
endif()
set(finished ${CMAKE_MATCH_1})
set(left ${CMAKE_MATCH_2})
# lrelease counts a text with no translation at all apart from the unfinished ones.
if(output MATCHES "Ignored ([0-9]+) untranslated")
  math(EXPR left "${left} + ${CMAKE_MATCH_1}")
endif()
if(NOT left EQUAL 0)
  message(FATAL_ERROR "${left} texts of the program have no finished translation in translations/${name}. "
    "New texts are added by others as they go: run `cmake --build build --target update_translations`, translate "
    "the messages marked unfinished in translations/${name} (Qt Linguist, or by hand), and commit it.\n${output}")
endif()
message(STATUS "translations/${name}: ${finished} finished, 0 unfinished")

# SPDX-License-Identifier: GPL-3.0-or-later
# Translations. `cmake --build build --target update_translations` writes the template
# translations/jotwell.ts from the sources of the core, the program and jotwell-cli. A translation is a copy
# of it named jotwell_<language>.ts (jotwell_de.ts); the build compiles each beside the program
# and installs it where the program and jotwell-cli look for it (core/Translations.cpp).
find_package(Qt6 REQUIRED COMPONENTS LinguistTools)
file(GLOB JOTWELL_TRANSLATIONS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/translations/jotwell_*.ts)
qt_add_lupdate(jotwell TS_FILES ${CMAKE_SOURCE_DIR}/translations/jotwell.ts ${JOTWELL_TRANSLATIONS}
  SOURCES ${JOTWELL_CORE_SOURCES} ${JOTWELL_SOURCES} ${JOTWELL_CLI_SOURCES} OPTIONS -no-obsolete -locations none)
if(JOTWELL_TRANSLATIONS)
  qt_add_lrelease(jotwell TS_FILES ${JOTWELL_TRANSLATIONS} QM_FILES_OUTPUT_VARIABLE JOTWELL_QM_FILES)
  install(FILES ${JOTWELL_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/korvel-jotwell/translations)
endif()

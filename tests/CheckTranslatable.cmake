# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a text the user sees is handed to a widget, an action, a box or an exception
# without the translation system, when lupdate cannot place a tr() (a class without Q_OBJECT
# would look its texts up under its base class), when the texts lupdate finds miss a sample of
# each layer, or when it finds a file's content (which must never be translated).
set(shown "setText|setToolTip|setStatusTip|setWindowTitle|setAccessibleName|setAccessibleDescription|setPlaceholderText|setHint|showBalloonHint|addAction|addMenu|QLabel|QPushButton|QCheckBox|QRadioButton|QMenu|QAction|ProgressDialog|askBox|errorBox|warningBox|tipBox")
set(failures "")
file(GLOB_RECURSE sources "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
foreach(source ${sources})
  file(STRINGS "${source}" lines)
  foreach(line IN LISTS lines)
    if(line MATCHES "(${shown}|makeAction|makeNamedAction)\\([^;]*(QStringLiteral|QLatin1String|QString::fromLatin1|QString::fromUtf8)\\(\"[^\"]*[A-Za-z]"
       OR line MATCHES "(${shown})\\(\"[^\"]*[A-Za-z]"
       OR line MATCHES "throw [A-Za-z:_]+\\((QStringLiteral\\()?\"[^\"]*[A-Za-z]")
      string(APPEND failures "${source}: ${line}\n")
    endif()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "Texts outside the translation system:\n${failures}")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(COMMAND "${LUPDATE}" "${SOURCE_DIR}" -ts "${WORK_DIR}/template.ts" -no-obsolete -locations none
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR output MATCHES "lacks Q_OBJECT|Cannot invoke tr|Discarding unconsumed")
  message(FATAL_ERROR "lupdate:\n${output}")
endif()
file(READ "${WORK_DIR}/template.ts" template)
# A table text, a menu, a dialog, the tray, a desktop error, a core exception, the store.
foreach(text "Click here to finish Edit. Press Esc cancel." "Database &amp;Backup..." "Website:"
             "Korvel TrayIcon Error" "Unable to write to %1" "The file is too short to be an exchange file"
             "The memo is no longer in the memo database.")
  string(FIND "${template}" "<source>${text}</source>" found)
  if(found EQUAL -1)
    string(APPEND failures "not in the template: ${text}\n")
  endif()
endforeach()
# Settings keys, the exchange file's names and the report's structure.
foreach(text ">Saved<" ">root<" ">Dayloom<" ">memo<" "Sub-Memos %2 - %3" "kvConf.ini" "X-GNOME-Autostart")
  string(FIND "${template}" "${text}" found)
  if(NOT found EQUAL -1)
    string(APPEND failures "a file's content in the template: ${text}\n")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()

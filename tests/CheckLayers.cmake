# Fails when a source includes upward across the layers: core < treeview, desktop < gui.
# The core also takes no widget or painting header (its target would not link them either,
# but a header-only use would slip through).
set(allowed_core "")
set(allowed_treeview "core")
set(allowed_desktop "core")
set(gui_headers "QtWidgets|QtGui|QtSvg|QtPrintSupport|QWidget|QDialog|QMainWindow|QApplication|QGuiApplication|QPainter|QImage|QPixmap|QIcon|QColor|QFont|QAction|QMenu|QLabel|QPushButton|QScreen|QClipboard|QPrinter|QSvgRenderer|QSystemTrayIcon|QKeyEvent|QMouseEvent")
# Upward includes that are still there: the tray and the placement show their errors through
# the program's prompt seam. Each one goes when that seam moves down; none may be added.
set(known_upward
  "desktop/TrayIcon.cpp:gui/Application.h"
  "desktop/TrayIcon.cpp:gui/Prompts.h"
  "desktop/WindowPlacement.cpp:gui/Prompts.h")
set(failures "")
foreach(layer core treeview desktop)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp" "${SOURCE_DIR}/${layer}/*.in")
  foreach(source ${sources})
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${includes})
      if(line MATCHES "[\"<](core|treeview|desktop|gui)/")
        list(FIND allowed_${layer} "${CMAKE_MATCH_1}" found)
        set(target "${CMAKE_MATCH_1}")
        string(REGEX REPLACE ".*[\"<]([a-z]+/[A-Za-z0-9_.]+)[\">].*" "\\1" header "${line}")
        file(RELATIVE_PATH relative "${SOURCE_DIR}" "${source}")
        list(FIND known_upward "${relative}:${header}" known)
        if(NOT target STREQUAL layer AND found EQUAL -1 AND known EQUAL -1)
          string(APPEND failures "${source}: ${line}\n")
        endif()
      endif()
      if(layer STREQUAL "core" AND line MATCHES "<(${gui_headers})[>/]")
        string(APPEND failures "${source}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "Includes across the layers:\n${failures}")
endif()

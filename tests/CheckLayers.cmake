# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source includes upward across the layers: core < treeview, desktop < gui, and
# the memo pane's parts (gui/memos) below the windows.
# The core and the command-line tool beside the program take no widget or painting header
# (their targets would not link them either, but a header-only use would slip through); the
# tool includes the core alone. The tree control carries its user's data unseen: it never
# includes the memo itself.
set(allowed_core "")
set(allowed_treeview "core")
set(allowed_desktop "core")
set(allowed_cli "core")
set(gui_headers "QtWidgets|QtGui|QtSvg|QtPrintSupport|QWidget|QDialog|QMainWindow|QApplication|QGuiApplication|QPainter|QImage|QPixmap|QIcon|QColor|QFont|QAction|QMenu|QLabel|QPushButton|QScreen|QClipboard|QPrinter|QSvgRenderer|QSystemTrayIcon|QKeyEvent|QMouseEvent")
set(failures "")
foreach(layer core treeview desktop cli)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp" "${SOURCE_DIR}/${layer}/*.in")
  foreach(source ${sources})
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line ${includes})
      if(line MATCHES "[\"<](core|treeview|desktop|gui|cli)/")
        set(target "${CMAKE_MATCH_1}")
        list(FIND allowed_${layer} "${target}" found)
        if(NOT target STREQUAL layer AND found EQUAL -1)
          string(APPEND failures "${source}: ${line}\n")
        endif()
      endif()
      if((layer STREQUAL "core" OR layer STREQUAL "cli") AND line MATCHES "<(${gui_headers})[>/]")
        string(APPEND failures "${source}: ${line}\n")
      endif()
      if(layer STREQUAL "treeview" AND line MATCHES "[\"<]core/Memo\\.h[\">]")
        string(APPEND failures "${source}: ${line}\n")
      endif()
    endforeach()
  endforeach()
endforeach()
# The memo pane's parts know nothing of what holds them: they include the layers below, each
# other and the gui's shared helpers, never a window, the pane or the program.
file(GLOB_RECURSE sources "${SOURCE_DIR}/gui/memos/*.h" "${SOURCE_DIR}/gui/memos/*.cpp")
foreach(source ${sources})
  file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${includes})
    if(line MATCHES "[\"<](cli/|gui/(MainWindow|MemoPane|Program|CommonActions|ExchangeCommands))")
      string(APPEND failures "${source}: ${line}\n")
    endif()
  endforeach()
endforeach()
if(failures)
  message(FATAL_ERROR "Includes across the layers:\n${failures}")
endif()

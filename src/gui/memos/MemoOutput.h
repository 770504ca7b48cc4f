// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/FileDialog.h"
#include <QObject>

class MemoController;
class MemoTree;
class VersionInfo;

// Reports, exchange files and printouts of the memos in the list. Nothing is asked for while
// a memo is being edited.
class MemoOutput : public QObject {
    Q_OBJECT
public:
    // version: the program's own, whose file version every report and exchange file names.
    // exportDialog: the save dialog that the export shares with the backup.
    MemoOutput(MemoTree &tree, const MemoController &controller, const VersionInfo &version, FileDialog &exportDialog,
               QObject *parent);

    // Asks for the report's file; its type decides between HTML and text. selectAllFirst: the
    // report holds every memo in sight, not the selection.
    void saveReport(bool selectAllFirst);
    void saveSelection() { saveReport(false); }
    void saveAll() { saveReport(true); }
    // Write the report and report their own failure.
    bool writeHtmlReport(bool selectAllFirst, const QString &fileName);
    bool writeTextReport(bool selectAllFirst, const QString &fileName);
    void printMemos();
    // Asks for the file and exports the selection to it.
    void exportMemos();
    // Writes the selected memos, each top-level one with all its sub-memos, to an exchange
    // file; reports its own failure.
    bool exportSelection(const QString &fileName);

private:
    enum class ReportKind { Html, Text };
    bool writeReport(bool selectAllFirst, const QString &fileName, ReportKind kind);

    MemoTree &m_tree;
    const MemoController &m_controller;
    const VersionInfo &m_version;
    FileDialog &m_exportDialog;
    FileDialog m_reportDialog{FileRequest::Kind::Save,
                              //: A file type; the patterns in brackets stay as they are.
                              {tr("Text file (*.txt)"),
                               //: A file type; the patterns in brackets stay as they are.
                               tr("HTML file (*.htm *.html)")},
                              QString()};
    static constexpr qsizetype kHtmlReport = 1; // the report dialog's file type for HTML
};

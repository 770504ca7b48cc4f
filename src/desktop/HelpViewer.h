// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QString>

// The program's help: an HTML page built into the program, opened in the desktop's viewer.
class HelpViewer : public QObject {
    Q_OBJECT
public:
    explicit HelpViewer(QObject *owner = nullptr) : QObject(owner) {}

    // Where the help page is put for the viewer to open.
    QString helpFile;

    // Writes the built-in page to helpFile when it is missing or out of date, and opens it.
    // A page that cannot be written raises an error that says so; false when the viewer could
    // not be opened.
    bool showContents();
};

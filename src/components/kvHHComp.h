#pragma once
#include <QObject>
#include <QString>

// The program's help: an HTML page built into the program, opened in the desktop's viewer.
class TKVHHComp : public QObject {
    Q_OBJECT
public:
    explicit TKVHHComp(QObject *owner = nullptr) : QObject(owner) {}

    // Where the help page is put for the viewer to open.
    QString HelpFile;

    // Writes the built-in page to HelpFile when it is missing or out of date, and opens it.
    // False when it could not be written or opened.
    bool ShowContents();
};

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

// Keeps a window's placement (its normal rectangle and whether it is maximised) in one section
// of an ini file: restored each time the program shows the window, saved each time it closes.
// The owner may also save and restore itself.
//
// The rectangle is the window's frame in its normal state, with Right and Bottom one past the
// last pixel; a window that cannot be resized keeps only Left and Top.
class WindowPlacement : public QObject {
    Q_OBJECT
public:
    // Hooks into owner, which must be a top-level window for anything to happen.
    explicit WindowPlacement(QWidget *owner);
    ~WindowPlacement() override;

    bool enabled = true;
    QString section;
    QString iniPath;

    virtual void hookOwner();
    virtual void unhookOwner();
    // A file that cannot be written is reported in an error box; the program goes on.
    virtual void saveState();
    virtual void restoreState();

signals:
    void stateSaved();
    void stateRestored();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *ownerForm() const;
    // Gives the window the frame size it was restored to once the window manager has framed
    // it, unless its size has changed from the guess since.
    void fitFrameOnceFramed(const QSize &frameSize, const QSize &guessed, int triesLeft);

    QPointer<QWidget> m_owner;
    QSize m_unfittedFrameSize; // restored, and not yet fitted to the frame
    bool m_hooked = false;
};

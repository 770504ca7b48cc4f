// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QCoreApplication>
#include <QEvent>

// The messages the program posts to its own windows. Each is handled after the handler
// that posted it has returned, in posting order.
enum PostedMessage : int {
    WM_MEMOS_RELOAD = 2024,
    WM_MEMOS_READY = 2025,
    WM_SHOW_UPDATE_PROMPT = 2027,
    WM_MEMOS_ADD = 2034,
    WM_MEMOS_EDIT_PENDING = 2035,
    WM_MEMOS_DROP_PENDING = 2036,
};

class PostedEvent : public QEvent {
public:
    PostedEvent(PostedMessage message, quintptr wParam, quint64 lParam)
        : QEvent(QEvent::Type(message)), m_wParam(wParam), m_lParam(lParam) {}
    PostedMessage message() const { return PostedMessage(type()); }
    quintptr wParam() const { return m_wParam; }
    quint64 lParam() const { return m_lParam; }

private:
    quintptr m_wParam;
    quint64 m_lParam;
};

inline void postMessage(QObject *receiver, PostedMessage message, quintptr wParam = 0, quint64 lParam = 0)
{
    QCoreApplication::postEvent(receiver, new PostedEvent(message, wParam, lParam));
}

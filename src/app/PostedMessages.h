#pragma once
#include <QCoreApplication>
#include <QEvent>

// The messages the program posts to its own windows. Each is handled after the handler
// that posted it has returned, in posting order.
enum KvMessage : int {
    WM_MEMOS_RELOAD = 2024,
    WM_MEMOS_READY = 2025,
    WM_SHOW_UPDATE_PROMPT = 2027,
    WM_MEMOS_ADD = 2034,
    WM_MEMOS_EDIT_PENDING = 2035,
    WM_MEMOS_DROP_PENDING = 2036,
};

class KvPostedEvent : public QEvent {
public:
    KvPostedEvent(KvMessage message, quintptr wParam, quint64 lParam)
        : QEvent(QEvent::Type(message)), FWParam(wParam), FLParam(lParam) {}
    KvMessage message() const { return KvMessage(type()); }
    quintptr wParam() const { return FWParam; }
    quint64 lParam() const { return FLParam; }

private:
    quintptr FWParam;
    quint64 FLParam;
};

inline void PostKvMessage(QObject *receiver, KvMessage message, quintptr wParam = 0, quint64 lParam = 0)
{
    QCoreApplication::postEvent(receiver, new KvPostedEvent(message, wParam, lParam));
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RowLooker.h"
#include "core/Database.h"
#include "core/DatabaseError.h"
#include <QFileInfo>

// The connection belongs to the look thread: every use of it runs there.
class RowLookerWorker : public QObject {
public:
    std::shared_ptr<RowLook> look(const QString &path, std::shared_ptr<const RowPrints> before)
    {
        try {
            // Opening would make an empty database where the file has gone.
            if (!QFileInfo::exists(path))
                return nullptr;
            if (!m_database.isOpen() || m_database.path() != path)
                m_database.open(path);
            MemoStore store(m_database);
            return std::make_shared<RowLook>(lookAtRows(store, std::move(before)));
        } catch (const DatabaseError &) {
            m_database.close(); // a fresh connection at the next look
            return nullptr;
        }
    }

private:
    Database m_database;
};

RowLooker::RowLooker(QObject *parent) : QObject(parent), m_worker(std::make_unique<RowLookerWorker>())
{
    m_thread.setObjectName(QStringLiteral("rowLooker"));
    m_worker->moveToThread(&m_thread);
}

RowLooker::~RowLooker()
{
    m_thread.quit();
    m_thread.wait();
}

void RowLooker::look(const QString &path, std::shared_ptr<const RowPrints> before)
{
    if (m_looking)
        return;
    m_looking = true;
    // Started at the first look: a process with a second thread pays for it in every
    // allocation, and most sessions see no outside change.
    if (!m_thread.isRunning())
        m_thread.start(QThread::LowPriority);
    QMetaObject::invokeMethod(m_worker.get(), [this, path, before = std::move(before)] {
        std::shared_ptr<RowLook> found = m_worker->look(path, before);
        // Back on the interface thread; dropped when the looker has gone meanwhile.
        QMetaObject::invokeMethod(this, [this, found = std::move(found)] {
            m_looking = false;
            if (found)
                emit looked(found);
            else
                emit lookFailed();
        }, Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

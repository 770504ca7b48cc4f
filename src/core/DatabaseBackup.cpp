// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/DatabaseBackup.h"
#include "core/ExchangeFile.h"
#include "core/IsoTime.h"
#include "core/MemoStore.h"
#include "core/XmlNavigator.h"

void buildDatabaseBackup(XmlNavigator &xml, MemoStore &store, const QString &appVersion,
                         const std::function<void(qint64)> &progress)
{
    const int bias = localBiasMinutes();
    Exchange::startDocument(xml, appVersion, bias);

    pugi::xml_node memos = xml.findNode(QStringLiteral("korvel,memos"));
    qint64 done = 0;
    for (const Memo &memo : store.allMemos()) {
        Exchange::appendMemo(memos, memo, memo.pid, bias);
        if (progress)
            progress(++done);
    }
    pugi::xml_node tasks = xml.findNode(QStringLiteral("korvel,tasks"));
    for (const Task &task : store.allTasks()) {
        Exchange::appendTask(tasks, task, bias);
        if (progress)
            progress(++done);
    }
}

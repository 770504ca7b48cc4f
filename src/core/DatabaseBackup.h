// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <functional>

class MemoStore;
class XmlNavigator;

// The exchange document of the whole database, as Database Backup writes it: every memo,
// then every task, in table order, each under the parent id it is stored with. progress
// hears the number of records added so far.
void buildDatabaseBackup(XmlNavigator &xml, MemoStore &store, const QString &appVersion,
                         const std::function<void(qint64)> &progress = {});

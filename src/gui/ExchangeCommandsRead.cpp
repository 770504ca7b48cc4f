// SPDX-License-Identifier: GPL-3.0-or-later
// Restore and import: reading an exchange file back into the database.
#include "gui/MainWindow.h"
#include "gui/Prompts.h"
#include "gui/ReplaceDialog.h"
#include "gui/ExchangeCommands.h"
#include "core/ExchangeFile.h"
#include "core/ExchangeReader.h"
#include "core/MemoStore.h"
#include "gui/ProgressDialog.h"
#include "core/XmlNavigator.h"
#include <QCoreApplication>
#include <memory>
#include <stdexcept>

namespace {

// The user chose to stop reading a file after a missing attribute.
class StoppedReading : public std::runtime_error {
public:
    StoppedReading() : std::runtime_error(QCoreApplication::translate("ExchangeCommands", "Reading the file was stopped.").toStdString()) {}
};

// After the first missing attribute, the user may stop the run; if not, further ones are
// not reported (a file with thousands of such records would raise thousands of boxes).
void askOnFirstMissingAttribute(XmlNavigator &xml, ProgressDialog &progress)
{
    xml.onMissingAttribute = [&progress, reported = false](const QString &text) mutable {
        if (reported)
            return;
        reported = true;
        errorBox(text);
        const BoxAnswer answer = askBox(QCoreApplication::translate("ExchangeCommands", "More records of this file may lack attributes; they will not be "
                                                 "reported one by one.\nGo on reading the file?"));
        progress.restartClock();
        if (answer != BoxAnswer::Ok)
            throw StoppedReading();
    };
}

// Replacements are asked with the replace dialog; progress moves the progress dialog.
class DialogListener : public ExchangeReader::Listener {
public:
    DialogListener(QWidget *parent, ProgressDialog &progress) : m_parent(parent), m_progress(progress) {}

    ExchangeReader::ReplaceAnswer askReplace(const Exchange::RecordKind &kind, const QString &storedContent,
                                             TimeStamp storedEditTime, const QString &fileContent,
                                             TimeStamp fileEditTime) override
    {
        if (!m_dialog) // an import never asks
            m_dialog = std::make_unique<ReplaceDialog>(m_parent);
        m_dialog->setRecords(kind.name, storedContent, storedEditTime, fileContent, fileEditTime);
        prompts().execDialog(*m_dialog);
        m_progress.restartClock();
        return m_dialog->answer();
    }
    void progress(qint64 done) override { m_progress.step(done); }

private:
    QWidget *m_parent;
    std::unique_ptr<ReplaceDialog> m_dialog;
    ProgressDialog &m_progress;
};

} // namespace

std::unique_ptr<ProgressDialog> ExchangeCommands::openExchangeFile(XmlNavigator &xml)
{
    m_databaseChanged = false;
    if (!m_openDialog.execute())
        return nullptr;
    // Made after the dialog: the time spent choosing a file is not the run's.
    auto progress = std::make_unique<ProgressDialog>(tr("Reading the file..."), 0);
    try {
        xml.loadFromFile(m_openDialog.fileName(), [&progress](qint64 done) { progress->step(done); });
    } catch (const std::exception &) {
        errorBox(tr("File read failure!"));
        return nullptr;
    }
    return progress;
}

bool ExchangeCommands::readRecords(XmlNavigator &xml, ProgressDialog &progress, const QString &label,
                        const std::function<void(ExchangeReader &)> &run)
{
    DialogListener listener(m_mainWindow, progress);
    ExchangeReader reader(m_store, xml, listener);
    xml.onMissingAttribute = [](const QString &text) { errorBox(text); };
    try {
        ExchangeReader::checkApp(xml);
    } catch (const std::exception &error) {
        errorBox(QString::fromUtf8(error.what()));
        return false;
    }
    progress.setLabel(label, xml.childCount(Exchange::MemoKind.listPath) + xml.childCount(Exchange::TaskKind.listPath));
    askOnFirstMissingAttribute(xml, progress);
    m_databaseChanged = true;
    try {
        run(reader);
    } catch (const std::exception &error) {
        // What was stored stays, and the reload that follows shows it; the text says how much.
        errorBox(QString::fromUtf8(error.what()) + reader.storedSoFar());
        return false;
    }
    return true;
}

bool ExchangeCommands::restoreDatabase()
{
    XmlNavigator xml;
    const std::unique_ptr<ProgressDialog> progress = openExchangeFile(xml);
    if (!progress)
        return false;
    return readRecords(xml, *progress, tr("Restoring the database..."),
                       [](ExchangeReader &reader) { reader.restore(); });
}

bool ExchangeCommands::importFile(const std::function<void()> &atStart)
{
    XmlNavigator xml;
    const std::unique_ptr<ProgressDialog> progress = openExchangeFile(xml);
    if (!progress)
        return false;
    return readRecords(xml, *progress, tr("Importing..."), [this, &atStart](ExchangeReader &reader) {
        // An import never stops to ask, so the lock taken here lasts to the run's end.
        Transaction run = m_store.transaction(Transaction::Lock::Immediate);
        if (atStart)
            atStart();
        reader.runWhole(run, [&reader] { reader.import(); });
    });
}

#include "app/Prompts.h"
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QScopedValueRollback>
#include <QStringList>

namespace {

class DialogPrompts final : public KvPromptHandler {
public:
    int messageBox(const QString &caption, const QString &text, int flags, KvBoxIcon icon) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(caption);
        box.setText(text);
        box.setIcon(icon == KvBoxIcon::Error     ? QMessageBox::Critical
                    : icon == KvBoxIcon::Warning ? QMessageBox::Warning
                                                 : QMessageBox::NoIcon);
        switch (flags) {
        case MB_OKCANCEL:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MB_YESNOCANCEL:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case MB_YESNO:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setStandardButtons(QMessageBox::Ok);
        }
        switch (box.exec()) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            return IDCANCEL;
        }
    }

    bool fileDialog(KvFileRequest &request) override
    {
        // "description|patterns|description|patterns" becomes Qt's "description;;description".
        const QStringList parts = request.filter.split(QLatin1Char('|'));
        QStringList filters;
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
            filters << parts[i];
        QFileDialog dialog(QApplication::activeWindow(), request.title, request.fileName);
        dialog.setNameFilters(filters);
        if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
            dialog.selectNameFilter(filters[request.filterIndex - 1]);
        dialog.setDefaultSuffix(request.defaultExt);
        if (request.kind == KvFileRequest::Kind::Save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
        } else {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        request.fileName = dialog.selectedFiles().constFirst();
        request.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
        return true;
    }

    int execDialog(QDialog &dialog) override { return dialog.exec(); }

    bool printDialog(QPrinter &printer) override
    {
        QPrintDialog dialog(&printer, QApplication::activeWindow());
        return dialog.exec() == QDialog::Accepted;
    }
};

DialogPrompts gDialogs;
KvPromptHandler *gHandler = &gDialogs;
std::function<void()> gBeforePrompt;

// Runs the hook, then hands the call on to the installed handler.
class HookedPrompts final : public KvPromptHandler {
public:
    int messageBox(const QString &caption, const QString &text, int flags, KvBoxIcon icon) override
    {
        before();
        return gHandler->messageBox(caption, text, flags, icon);
    }
    bool fileDialog(KvFileRequest &request) override
    {
        before();
        return gHandler->fileDialog(request);
    }
    int execDialog(QDialog &dialog) override
    {
        before();
        return gHandler->execDialog(dialog);
    }
    bool printDialog(QPrinter &printer) override
    {
        before();
        return gHandler->printDialog(printer);
    }

private:
    void before()
    {
        // A box raised by the hook's own work (a failed store) must not run it again.
        if (!gBeforePrompt || FRunning)
            return;
        const QScopedValueRollback<bool> running(FRunning, true);
        const std::function<void()> hook = gBeforePrompt;
        hook();
    }
    bool FRunning = false;
};

HookedPrompts gHooked;

} // namespace

KvPromptHandler &Prompts()
{
    return gHooked;
}

void SetBeforePromptHook(std::function<void()> hook)
{
    gBeforePrompt = std::move(hook);
}

void SetPromptHandler(KvPromptHandler *handler)
{
    gHandler = handler ? handler : &gDialogs;
}

#include "gui/Prompts.h"
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QScopedValueRollback>
#include <QStringList>

namespace {

class DialogPrompts final : public PromptHandler {
public:
    int messageBox(const QString &caption, const QString &text, int flags, BoxIcon icon) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(caption);
        box.setText(text);
        box.setIcon(icon == BoxIcon::Error     ? QMessageBox::Critical
                    : icon == BoxIcon::Warning ? QMessageBox::Warning
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

    bool fileDialog(FileRequest &request) override
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
        if (request.kind == FileRequest::Kind::Save) {
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
PromptHandler *gHandler = &gDialogs;
std::function<void()> gBeforePrompt;

// Runs the hook, then hands the call on to the installed handler.
class HookedPrompts final : public PromptHandler {
public:
    int messageBox(const QString &caption, const QString &text, int flags, BoxIcon icon) override
    {
        before();
        return gHandler->messageBox(caption, text, flags, icon);
    }
    bool fileDialog(FileRequest &request) override
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
        if (!gBeforePrompt || m_running)
            return;
        const QScopedValueRollback<bool> running(m_running, true);
        const std::function<void()> hook = gBeforePrompt;
        hook();
    }
    bool m_running = false;
};

HookedPrompts gHooked;

} // namespace

PromptHandler &prompts()
{
    return gHooked;
}

void setBeforePromptHook(std::function<void()> hook)
{
    gBeforePrompt = std::move(hook);
}

void setPromptHandler(PromptHandler *handler)
{
    gHandler = handler ? handler : &gDialogs;
}

int showBox(const QString &caption, const QString &text, int flags)
{
    return prompts().messageBox(caption, text, flags, BoxIcon::None);
}

int askBox(const QString &text)
{
    return showBox(QCoreApplication::translate("Prompts", "Ask"), text, MB_OKCANCEL);
}

int errorBox(const QString &text)
{
    return showBox(QCoreApplication::translate("Prompts", "Error"), text, MB_OK);
}

int warningBox(const QString &text)
{
    return showBox(QCoreApplication::translate("Prompts", "Warning"), text, MB_OK);
}

int tipBox(const QString &text)
{
    return showBox(QCoreApplication::translate("Prompts", "Tip"), text, MB_OK);
}

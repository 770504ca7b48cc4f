// SPDX-License-Identifier: GPL-3.0-or-later
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
    BoxAnswer messageBox(const QString &caption, const QString &text, BoxButtons buttons, BoxIcon icon) override
    {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle(caption);
        box.setText(text);
        box.setIcon(icon == BoxIcon::Error     ? QMessageBox::Critical
                    : icon == BoxIcon::Warning ? QMessageBox::Warning
                                                 : QMessageBox::NoIcon);
        switch (buttons) {
        case BoxButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case BoxButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case BoxButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            return box.exec() == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
        }
        return box.exec() == QMessageBox::Ok ? BoxAnswer::Ok : BoxAnswer::Cancel;
    }

    bool fileDialog(FileRequest &request) override
    {
        const QStringList &filters = request.nameFilters;
        QFileDialog dialog(QApplication::activeWindow(), request.title, request.fileName);
        dialog.setNameFilters(filters);
        if (request.chosenFilter >= 0 && request.chosenFilter < filters.size())
            dialog.selectNameFilter(filters[request.chosenFilter]);
        dialog.setDefaultSuffix(request.defaultExt);
        if (request.kind == FileRequest::Kind::Save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
        } else {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(request.kind == FileRequest::Kind::Folder ? QFileDialog::Directory : QFileDialog::ExistingFile);
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        request.fileName = dialog.selectedFiles().constFirst();
        request.chosenFilter = filters.indexOf(dialog.selectedNameFilter());
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
    BoxAnswer messageBox(const QString &caption, const QString &text, BoxButtons buttons, BoxIcon icon) override
    {
        before();
        return gHandler->messageBox(caption, text, buttons, icon);
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

BoxAnswer showBox(const QString &caption, const QString &text, BoxButtons buttons)
{
    return prompts().messageBox(caption, text, buttons, BoxIcon::None);
}

BoxAnswer askBox(const QString &text)
{
    return showBox(QCoreApplication::translate("Prompts", "Ask"), text, BoxButtons::OkCancel);
}

BoxAnswer errorBox(const QString &text)
{
    return showBox(QCoreApplication::translate("Prompts", "Error"), text, BoxButtons::Ok);
}

BoxAnswer warningBox(const QString &text)
{
    return showBox(QCoreApplication::translate("Prompts", "Warning"), text, BoxButtons::Ok);
}

BoxAnswer tipBox(const QString &text)
{
    return showBox(QCoreApplication::translate("Prompts", "Tip"), text, BoxButtons::Ok);
}

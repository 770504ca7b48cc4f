#include "app/Prompts.h"
#include <QApplication>
#include <QMessageBox>

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
};

DialogPrompts gDialogs;
KvPromptHandler *gHandler = &gDialogs;

} // namespace

KvPromptHandler &Prompts()
{
    return *gHandler;
}

void SetPromptHandler(KvPromptHandler *handler)
{
    gHandler = handler ? handler : &gDialogs;
}

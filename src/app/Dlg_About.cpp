#include "app/Dlg_About.h"
#include "app/Dm_Common.h"
#include "app/Fm_Main.h"
#include "app/KvImages.h"
#include "app/MakerLinks.h"
#include "app/ScreenCentre.h"
#include "components/KvVersionInfo.h"
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

void AddLine(QWidget *parent, int top)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(24, top + 8, 313, 2);
}

} // namespace

TAboutDlg::TAboutDlg(TmainFm &mainFm, TcommonDm &commonDm, QWidget *parent)
    : QDialog(parent), FMainFm(mainFm), FCommonDm(commonDm)
{
    setWindowTitle(QStringLiteral("About..."));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(372, 372);
    CentreOnScreen(*this);
    Image_App = new QLabel(this);
    Image_App->setGeometry(24, 16, 65, 65);
    Image_App->setScaledContents(true);
    Label_AppName = new QLabel(QStringLiteral("App Name"), this);
    QFont nameFont = Label_AppName->font();
    nameFont.setPixelSize(19);
    nameFont.setBold(true);
    Label_AppName->setFont(nameFont);
    Label_AppName->setGeometry(104, 16, 240, 26);
    lbl_version = new QLabel(QStringLiteral("Version: 1.2.xxx"), this);
    lbl_version->setGeometry(104, 56, 200, 18);
    AddLine(this, 80);
    const struct {
        const char *caption;
        int top;
    } captions[] = {{"Website:", 112}, {"Support:", 144}, {"Sales:", 176}};
    for (const auto &caption : captions)
        (new QLabel(QString::fromLatin1(caption.caption), this))->setGeometry(40, caption.top, 60, 18);
    lbl_web = AddLink(MakerLinks::kWebSite, 104, 111);
    lbl_support = AddLink(MakerLinks::kSupportMail, 104, 143);
    lbl_Sales = AddLink(MakerLinks::kSalesMail, 104, 175);
    AddLine(this, 208);
    AddLine(this, 280);
    Button1 = new QPushButton(QStringLiteral("Close"), this);
    Button1->setGeometry(264, 304, 75, 25);
    Button1->setDefault(true);
    Button1->setFocus();
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    FormCreate();
}

QLabel *TAboutDlg::AddLink(const QString &text, int left, int top)
{
    auto *link = new QLabel(text, this);
    QFont font = link->font();
    font.setPixelSize(15);
    font.setUnderline(true);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    link->setPalette(palette);
    link->setCursor(Qt::PointingHandCursor);
    link->setGeometry(left, top, 250, 20);
    link->installEventFilter(this);
    return link;
}

void TAboutDlg::FormCreate()
{
    Label_AppName->setText(QStringLiteral("Korvel Jotwell"));
    // A picture of the user's in the program folder wins over the built-in one.
    const QPixmap picture(FMainFm.programFolder() + KvImages::kUserFolder + QStringLiteral("appIcon.png"));
    Image_App->setPixmap(picture.isNull() ? KvImages::AppIcon().pixmap(65, 65) : picture);
    lbl_version->setText(FMainFm.KvVersionInfo1->GetValue(2));
}

bool TAboutDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == lbl_web)
            FCommonDm.VisitWebsite();
        else if (watched == lbl_support)
            FCommonDm.MailSupport();
        else if (watched == lbl_Sales)
            FCommonDm.MailSales();
    }
    return QDialog::eventFilter(watched, event);
}

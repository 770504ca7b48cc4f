#include "gui/AboutDialog.h"
#include "gui/CommonActions.h"
#include "gui/MainWindow.h"
#include "gui/Artwork.h"
#include "core/MakerLinks.h"
#include "gui/ScreenCentre.h"
#include "core/VersionInfo.h"
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

void addLine(QWidget *parent, int top)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(24, top + 8, 313, 2);
}

} // namespace

AboutDialog::AboutDialog(MainWindow &mainWindow, CommonActions &commonActions, QWidget *parent)
    : QDialog(parent), m_mainWindow(mainWindow), m_commonActions(commonActions)
{
    setWindowTitle(QStringLiteral("About..."));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(372, 372);
    centreOnScreen(*this);
    m_appImage = new QLabel(this);
    m_appImage->setGeometry(24, 16, 65, 65);
    m_appImage->setScaledContents(true);
    Label_AppName = new QLabel(QStringLiteral("App Name"), this);
    QFont nameFont = Label_AppName->font();
    nameFont.setPixelSize(19);
    nameFont.setBold(true);
    Label_AppName->setFont(nameFont);
    Label_AppName->setGeometry(104, 16, 240, 26);
    lbl_version = new QLabel(QStringLiteral("Version: 1.2.xxx"), this);
    lbl_version->setGeometry(104, 56, 200, 18);
    addLine(this, 80);
    const struct {
        const char *caption;
        int top;
    } captions[] = {{"Website:", 112}, {"Support:", 144}, {"Sales:", 176}};
    for (const auto &caption : captions)
        (new QLabel(QString::fromLatin1(caption.caption), this))->setGeometry(40, caption.top, 60, 18);
    lbl_web = addLink(MakerLinks::kWebSite, 104, 111);
    lbl_support = addLink(MakerLinks::kSupportMail, 104, 143);
    lbl_Sales = addLink(MakerLinks::kSalesMail, 104, 175);
    addLine(this, 208);
    addLine(this, 280);
    Button1 = new QPushButton(QStringLiteral("Close"), this);
    Button1->setGeometry(264, 304, 75, 25);
    Button1->setDefault(true);
    Button1->setFocus();
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    createWindow();
}

QLabel *AboutDialog::addLink(const QString &text, int left, int top)
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

void AboutDialog::createWindow()
{
    Label_AppName->setText(QStringLiteral("Korvel Jotwell"));
    // A picture of the user's in the program folder wins over the built-in one.
    const QPixmap picture(m_mainWindow.programFolder() + Artwork::kUserFolder + QStringLiteral("appIcon.png"));
    m_appImage->setPixmap(picture.isNull() ? Artwork::appIcon().pixmap(65, 65) : picture);
    lbl_version->setText(m_mainWindow.versionInfo()->getValue(2));
}

bool AboutDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == lbl_web)
            m_commonActions.visitWebsite();
        else if (watched == lbl_support)
            m_commonActions.mailSupport();
        else if (watched == lbl_Sales)
            m_commonActions.mailSales();
    }
    return QDialog::eventFilter(watched, event);
}

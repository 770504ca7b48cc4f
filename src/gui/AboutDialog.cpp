// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/AboutDialog.h"
#include "gui/CommonActions.h"
#include "gui/MainWindow.h"
#include "gui/Application.h"
#include "gui/Artwork.h"
#include "core/MakerLinks.h"
#include "gui/ScreenCentre.h"
#include "core/VersionInfo.h"
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
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
    setWindowTitle(tr("About..."));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(372, 372);
    centreOnScreen(*this);
    m_appImage = new QLabel(this);
    m_appImage->setObjectName(QStringLiteral("appImage"));
    m_appImage->setGeometry(24, 16, 65, 65);
    m_appImage->setScaledContents(true);
    m_appImage->setAccessibleName(kApplicationTitle);
    m_nameLabel = new QLabel(tr("App Name"), this);
    m_nameLabel->setObjectName(QStringLiteral("appName"));
    QFont nameFont = m_nameLabel->font();
    nameFont.setPixelSize(19);
    nameFont.setBold(true);
    m_nameLabel->setFont(nameFont);
    m_nameLabel->setGeometry(104, 16, 240, 26);
    m_versionLabel = new QLabel(tr("Version: 1.2.xxx"), this);
    m_versionLabel->setObjectName(QStringLiteral("version"));
    m_versionLabel->setGeometry(104, 56, 200, 18);
    addLine(this, 80);
    const struct {
        const char *caption;
        int top;
    } captions[] = {{QT_TR_NOOP("Website:"), 112}, {QT_TR_NOOP("Support:"), 144}, {QT_TR_NOOP("Sales:"), 176}};
    for (const auto &caption : captions)
        (new QLabel(tr(caption.caption), this))->setGeometry(40, caption.top, 60, 18);
    m_webLink = addLink("webLink", MakerLinks::kWebSite, 104, 111);
    m_supportLink = addLink("supportLink", MakerLinks::kSupportMail, 104, 143);
    m_salesLink = addLink("salesLink", MakerLinks::kSalesMail, 104, 175);
    addLine(this, 208);
    addLine(this, 280);
    auto *closeButton = new QPushButton(tr("Close"), this);
    closeButton->setGeometry(264, 304, 75, 25);
    closeButton->setDefault(true);
    closeButton->setFocus();
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    showProgramDetails();
}

QLabel *AboutDialog::addLink(const char *name, const QString &text, int left, int top)
{
    auto *link = new QLabel(text, this);
    link->setObjectName(QLatin1String(name));
    QFont font = link->font();
    font.setPixelSize(15);
    font.setUnderline(true);
    link->setFont(font);
    QPalette palette = link->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    link->setPalette(palette);
    link->setCursor(Qt::PointingHandCursor);
    // Reached with Tab and opened with Enter or Space, like a button; a box shows the focus.
    link->setFocusPolicy(Qt::TabFocus);
    link->setGeometry(left, top, 250, 20);
    link->installEventFilter(this);
    return link;
}

void AboutDialog::showProgramDetails()
{
    m_nameLabel->setText(tr("Korvel Jotwell"));
    // A picture of the user's in the program folder wins over the built-in one.
    const QPixmap picture(m_mainWindow.programFolder() + Artwork::kUserFolder + QStringLiteral("appIcon.png"));
    m_appImage->setPixmap(picture.isNull() ? Artwork::appIcon().pixmap(65, 65) : picture);
    m_versionLabel->setText(m_mainWindow.versionInfo()->fileVersion());
}

bool AboutDialog::eventFilter(QObject *watched, QEvent *event)
{
    auto *link = static_cast<QLabel *>(watched); // only the links are watched
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        link->setFrameShape(event->type() == QEvent::FocusIn ? QFrame::Box : QFrame::NoFrame);
        break;
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            openLink(link);
            return true; // the Close button's Enter is not meant
        }
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            openLink(link);
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::openLink(QLabel *link)
{
    if (link == m_webLink)
        m_commonActions.visitWebsite();
    else if (link == m_supportLink)
        m_commonActions.mailSupport();
    else if (link == m_salesLink)
        m_commonActions.mailSales();
}

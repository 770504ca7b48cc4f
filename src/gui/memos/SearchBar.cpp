// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/memos/SearchBar.h"
#include "gui/AccessibleNames.h"
#include "gui/Artwork.h"
#include "core/MemoSearch.h"
#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>

SearchBar::SearchBar(QAction *wideSearch, QWidget *parent) : PicturePanel(parent)
{
    setObjectName(QStringLiteral("bottomBar"));
    m_wideSearchButton = new QToolButton(this);
    m_wideSearchButton->setObjectName(QStringLiteral("wideSearchButton"));
    m_wideSearchButton->setDefaultAction(wideSearch);
    m_wideSearchButton->setAutoRaise(true);
    m_box = new QLineEdit(this);
    m_box->setObjectName(QStringLiteral("searchBox"));
    m_box->setToolTip(tr("Input search string"));
    m_button = new QToolButton(this);
    m_button->setObjectName(QStringLiteral("searchButton"));
    m_button->setIcon(Artwork::listIcon(Artwork::Picture::Search));
    m_button->setAutoRaise(true);
    for (QToolButton *button : {m_wideSearchButton, m_button}) {
        button->setIconSize(QSize(16, 16));
        button->setFixedSize(24, 24);
    }
    setFixedHeight(std::max(28, m_box->sizeHint().height() + 4));
    connect(m_box, &QLineEdit::textChanged, this, [this] {
        m_searchText = searchTextOf(m_box->text());
        emit searchTextChanged();
    });
    m_box->installEventFilter(this);
    connect(m_button, &QToolButton::clicked, this, &SearchBar::clickButton);
    nameIconButtons(this);
    m_box->setAccessibleName(tr("Search"));
    m_button->setAccessibleName(tr("Search"));
}

void SearchBar::setIdle()
{
    m_searching = false;
    QPalette palette = m_box->palette();
    palette.setColor(QPalette::Text, palette.color(QPalette::PlaceholderText));
    m_box->setPalette(palette);
    m_box->setText(tr("  Search..."));
    m_button->setIcon(Artwork::listIcon(Artwork::Picture::Search));
    m_button->setToolTip(QString());
}

void SearchBar::boxEntered()
{
    if (m_searching)
        return;
    m_box->setText(QString());
    QPalette palette = m_box->palette();
    palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
    m_box->setPalette(palette);
    m_searching = true;
    m_button->setIcon(Artwork::listIcon(Artwork::Picture::ClearSearch));
    m_button->setToolTip(tr("Clear search"));
}

void SearchBar::boxLeft()
{
    if (!searchTextOf(m_box->text()).isEmpty())
        return;
    setIdle();
}

void SearchBar::clickButton()
{
    if (m_searching) {
        m_box->setText(QString());
        boxLeft();
        emit searchCleared();
    } else {
        m_box->setFocus();
    }
}

bool SearchBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_box) {
        switch (event->type()) {
        case QEvent::FocusIn:
            boxEntered();
            break;
        case QEvent::FocusOut:
            boxLeft();
            break;
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Escape)
                clickButton();
            else if (key->key() == Qt::Key_A && key->modifiers().testFlag(Qt::ControlModifier))
                m_box->selectAll();
            break;
        }
        default:
            break;
        }
    }
    return PicturePanel::eventFilter(watched, event);
}

void SearchBar::resizeEvent(QResizeEvent *event)
{
    PicturePanel::resizeEvent(event);
    // The box fills the bar between the wide-search button and the clear button, 10 pixels
    // short of the clear button.
    const int barHeight = height();
    const int buttonWidth = m_button->width();
    const auto centred = [barHeight](QWidget *widget) { return (barHeight - widget->height()) / 2; };
    m_wideSearchButton->move(0, centred(m_wideSearchButton));
    m_box->setGeometry(buttonWidth, centred(m_box), std::max(0, width() - 2 * buttonWidth - 10), m_box->sizeHint().height());
    m_button->move(m_box->geometry().right() + 1 + 10, centred(m_button));
}

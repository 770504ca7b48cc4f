// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "gui/PictureBar.h"

class QAction;
class QLineEdit;
class QToolButton;

// The search bar under the list: the wide-search button, the search box and the button that
// starts or clears a search. Until the box is entered it shows a grey prompt and no search
// is in force.
class SearchBar : public PicturePanel {
    Q_OBJECT
public:
    SearchBar(QAction *wideSearch, QWidget *parent);

    bool isSearching() const { return m_searching; }
    // What the search looks for: the box's text without its outer blanks.
    QString searchText() const { return m_searchText; }
    // Back to the grey prompt: no search in force.
    void setIdle();
    // The search button: clears a search in force, or starts one.
    void clickButton();

signals:
    void searchTextChanged();
    // The user cleared the search: the list is whole again.
    void searchCleared();

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void boxEntered();
    void boxLeft();

    QToolButton *m_wideSearchButton;
    QLineEdit *m_box;
    QToolButton *m_button;
    QString m_searchText;
    bool m_searching = false;
};

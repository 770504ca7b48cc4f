// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QIcon>
#include <QImage>
#include <QString>
#include <vector>

// The program's built-in pictures, drawn as SVG so that they stay crisp at any scale.
namespace Artwork {

constexpr int kImageList16Count = 23;

// The pictures of the image lists that the program shows, by what they stand for; the value
// is the picture's place in the lists.
enum class Picture {
    Memo = 0,
    AddSubMemo = 2,
    Edit = 3,
    Delete = 4,
    SortAscending = 7,
    SortDescending = 8,
    ListView = 10,
    ExpandAll = 11,
    CollapseAll = 12,
    AddMemo = 13,
    FinishEdit = 14,
    SaveAll = 15,
    Print = 16,
    Tip = 17,
    Search = 18,
    ClearSearch = 19,
    SubMemo = 21,
    WideSearch = 22,
};
// The data folder's subfolder whose pictures replace the built-in ones.
inline const QString kUserFolder = QStringLiteral("Images/");

QIcon listIcon(Picture picture);
std::vector<QIcon> imageList16();     // the 23 pictures of the image lists
QIcon appIcon();
QIcon bulbIcon();

// A background picture: the file of that name in the program folder's Images/ when there
// is one, else the built-in picture. A file that exists but cannot be read leaves the
// built-in picture in place and its reason in *error.
QImage loadBackground(const QString &programFolder, const QString &fileName, QString *error);

} // namespace Artwork

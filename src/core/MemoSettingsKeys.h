#pragma once
#include <QString>

// Sections and keys of the settings file that the memo tree reads and writes.
inline const QString kMemoSection = QStringLiteral("memo");
inline const QString kLogSection = QStringLiteral("log");
inline const QString kViewAscEn = QStringLiteral("viewAscEn");
inline const QString kViewListEn = QStringLiteral("viewListEn");
inline const QString kSearchWideEn = QStringLiteral("searchWideEn");

#pragma once
#include <QString>

// Sections and keys of the settings file that the application shell reads and writes.
inline const QString kOptionSection = QStringLiteral("option");
inline const QString kAddOpenEn = QStringLiteral("addOpenEn");
inline const QString kRunMinimizedEn = QStringLiteral("runMinimizedEn");
inline const QString kFirst = QStringLiteral("first");
inline const QString kVisitWebEn = QStringLiteral("visitWebEn");
inline const QString kVisitWeb = QStringLiteral("visitWeb");
inline const QString kRunDays = QStringLiteral("runDays");

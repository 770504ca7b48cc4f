// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

// The maker's addresses, all in one place.
namespace MakerLinks {

inline const QString kWebSite = QStringLiteral("https://www.korvel.example/");
inline const QString kProductPage = QStringLiteral("https://www.korvel.example/jotwell/");
inline const QString kSupportMail = QStringLiteral("support@korvel.example");
inline const QString kSalesMail = QStringLiteral("sales@korvel.example");
// Marks a visit that came from a link in a report.
inline const QString kReportQuery = QStringLiteral("?from=j-w-report");

} // namespace MakerLinks

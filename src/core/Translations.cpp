// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Translations.h"
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace {

void installFirstFound(QCoreApplication &application, const QString &name, const QStringList &folders)
{
    auto translator = std::make_unique<QTranslator>();
    for (const QString &folder : folders) {
        if (translator->load(QLocale(), name, QStringLiteral("_"), folder)) {
            translator->setParent(&application);
            application.installTranslator(translator.release());
            return;
        }
    }
}

} // namespace

void installTranslations(QCoreApplication &application)
{
    // Installed, the program's translations are under share/ of its prefix; in a build folder
    // they sit beside the program.
    const QString programFolder = QCoreApplication::applicationDirPath();
    installFirstFound(application, QStringLiteral("qtbase"), {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
    installFirstFound(application, QStringLiteral("jotwell"),
                      {programFolder + QStringLiteral("/../share/korvel-jotwell/translations"), programFolder});
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReplacePolicy.h"
#include "cli/TerminalProgress.h"
#include "core/ExchangeFile.h"
#include "core/MemoText.h"

namespace {

QString recordLine(const QString &content, TimeStamp editTime)
{
    return QStringLiteral("%1  %2").arg(dateAndTimeText(dateTimeToQDateTime(editTime), false),
                                         flattenLineBreaks(content));
}

} // namespace

ReplacePolicy::ReplacePolicy(const QString &policy, TerminalProgress &progress) : m_policy(policy), m_progress(progress)
{
}

ExchangeReader::ReplaceAnswer ReplacePolicy::askReplace(const Exchange::RecordKind &kind, const QString &storedContent,
                                                       TimeStamp storedEditTime, const QString &fileContent,
                                                       TimeStamp fileEditTime)
{
    if (m_policy == QLatin1String("all"))
        return ExchangeReader::ReplaceAnswer::All;
    if (m_policy == QLatin1String("none"))
        return ExchangeReader::ReplaceAnswer::No;
    QTextStream err(stderr);
    err << QStringLiteral("\nThe file holds a %1 that is stored already.\n  stored: %2\n  file:   %3\n")
               .arg(kind.name, recordLine(storedContent, storedEditTime), recordLine(fileContent, fileEditTime));
    for (;;) {
        err << QStringLiteral("Replace it? [y]es, [n]o, [a]ll, a[b]ort: ") << Qt::flush;
        const QString answer = m_answers.readLine().trimmed().toLower();
        if (answer.isNull()) // standard input ended: keep the stored record and stop
            return ExchangeReader::ReplaceAnswer::Abort;
        m_progress.restartClock();
        if (answer == QLatin1String("y") || answer == QLatin1String("yes"))
            return ExchangeReader::ReplaceAnswer::Yes;
        if (answer == QLatin1String("n") || answer == QLatin1String("no"))
            return ExchangeReader::ReplaceAnswer::No;
        if (answer == QLatin1String("a") || answer == QLatin1String("all"))
            return ExchangeReader::ReplaceAnswer::All;
        if (answer == QLatin1String("b") || answer == QLatin1String("abort"))
            return ExchangeReader::ReplaceAnswer::Abort;
    }
}

void ReplacePolicy::progress(qint64 done)
{
    m_progress.step(done);
}

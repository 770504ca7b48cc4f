// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/ExchangeReader.h"
#include <QTextStream>
#include <cstdio>

class TerminalProgress;

// Answers a restore's replace questions: "all" replaces every stored record, "none" keeps
// them, "ask" asks on the terminal, one record at a time.
class ReplacePolicy : public ExchangeReader::Listener {
public:
    ReplacePolicy(const QString &policy, TerminalProgress &progress);
    bool asks() const { return m_policy == QLatin1String("ask"); }

    ExchangeReader::ReplaceAnswer askReplace(const Exchange::RecordKind &kind, const QString &storedContent,
                                             TimeStamp storedEditTime, const QString &fileContent,
                                             TimeStamp fileEditTime) override;
    void progress(qint64 done) override;

private:
    QString m_policy;
    TerminalProgress &m_progress;
    // One stream for the run: a stream reads ahead, and what it read must reach the next question.
    QTextStream m_answers{stdin};
};

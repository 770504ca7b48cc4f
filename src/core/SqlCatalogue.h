#pragma once
#include <QString>

// Every statement the program issues, numbered. Statements are plain text: ids and "root"
// are spliced in quoted, truth values as the words True and False. memo texts never appear
// in statement text; they travel through result sets.
namespace Sql {

QString QuotedStr(const QString &value); // 'value' with embedded quotes doubled
QString boolWord(bool value);           // True or False

QString selectMemosByPid(const QString &pid);                // 1
QString countMemos();                                        // 2
QString updateExpandFlag(bool expanded, const QString &mid); // 3
QString emptyMemoForAppend();                                // 4
QString selectMemoById(const QString &mid);                  // 5
QString deleteMemo(const QString &mid);                      // 6
QString deleteSubMemos(const QString &mid);                  // 7
QString updateMemoParent(const QString &pid, const QString &mid); // 8
QString selectAllMemos();                                    // 9
QString selectAllTasks();                                    // 10
QString emptyMemoForRestore();                               // 11
QString selectTaskById(const QString &tid);                  // 12
QString emptyTaskForRestore();                               // 13
// A memo whose parent is itself, no memo at all or no parent: top-level.
QString liftOrphanMemos();                                   // 14
// Then a memo whose parent is a sub-memo (a grandchild, a cycle): top-level.
QString liftMemosUnderSubMemos();                            // 15

} // namespace Sql

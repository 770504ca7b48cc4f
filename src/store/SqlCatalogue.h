#pragma once
#include <QString>

// Every statement the program issues, numbered. Statements are plain text: ids and "root"
// are spliced in quoted, truth values as the words True and False. Memo texts never appear
// in statement text; they travel through result sets.
namespace Sql {

QString QuotedStr(const QString &value); // 'value' with embedded quotes doubled
QString BoolWord(bool value);           // True or False

QString SelectMemosByPid(const QString &pid);                // 1
QString CountMemos();                                        // 2
QString UpdateExpandFlag(bool expanded, const QString &mid); // 3
QString EmptyMemoForAppend();                                // 4
QString SelectMemoById(const QString &mid);                  // 5
QString DeleteMemo(const QString &mid);                      // 6
QString DeleteSubMemos(const QString &mid);                  // 7
QString UpdateMemoParent(const QString &pid, const QString &mid); // 8
QString SelectAllMemos();                                    // 9
QString SelectAllTasks();                                    // 10
QString EmptyMemoForRestore();                               // 11
QString SelectTaskById(const QString &tid);                  // 12
QString EmptyTaskForRestore();                               // 13
// A memo whose parent is itself, no memo at all or no parent: top-level.
QString LiftOrphanMemos();                                   // 14
// Then a memo whose parent is a sub-memo (a grandchild, a cycle): top-level.
QString LiftMemosUnderSubMemos();                            // 15

} // namespace Sql

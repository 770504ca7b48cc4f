#pragma once
#include <QStringList>

class TProgram;

// Measures the memo tree's commands on a loaded program: list view, scrolling, the search
// filter, Expand and Collapse All, opening the Move-to menu, reports and deleting.
void RunMemoBenchmarks(TProgram &program, int count, const QStringList &names);

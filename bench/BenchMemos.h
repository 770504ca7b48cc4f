// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

class Program;

// Measures the memo tree's commands on a loaded program: a memo added from outside, list
// view, scrolling, the search filter, Expand and Collapse all, opening the Move-to menu,
// reports, deleting and taking the delete back.
void runMemoBenchmarks(Program &program, int count, const QStringList &names);

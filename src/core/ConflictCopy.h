// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/Memo.h"

// Begins the text of a conflict copy. It is part of the stored text, the same on every
// computer whatever its language, so it is never translated.
extern const QString kConflictMark;

// Two writers changed one memo and one text won: the copy that keeps lost's text (edited when
// lost was) beside memo, the memo it lost to: under the same parent with the same times,
// closed, and marked, so that the user sees where it came from.
Memo conflictCopy(const Memo &memo, const Memo &lost, const QString &copyId);

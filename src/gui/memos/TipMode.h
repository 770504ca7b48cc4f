// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the tip above the search bar offers; a click on it does that.
enum class TipMode { None, FinishEdit, AddMemo, NoSearchResult };

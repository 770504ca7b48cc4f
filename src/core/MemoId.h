#pragma once
#include <QString>

// A fresh id for a memo or task: a new GUID, braced, upper-case, 38 characters.
QString newMemoId();

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QStringList>

class Program;

// Measures the exchange file on a loaded program: backup (beside the raw zlib cost of the same
// text), restore into an empty and into a full database, and import (beside the raw cost of
// inserting the same rows), and import of a file with ten empty elements per memo before its
// lists (read-sparse). The program's own database is only read.
void runExchangeBenchmarks(Program &program, int count, const QStringList &names);

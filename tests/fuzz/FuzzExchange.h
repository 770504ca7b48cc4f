// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstddef>
#include <cstdint>

// The exchange-file reader under attack: the bytes are read as a container and, whatever
// that gives, as XML text; each document is imported and restored into a database in memory.
// Aborts when what was stored breaks the rules every run must keep.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/RowPrints.h"
#include <sqlite3.h>
#include <cstring>

const char *const kRowPrintsType = "RowPrints";

namespace {

constexpr quint64 kMultiplier = 0x9E3779B97F4A7C15ull;

quint64 finish(quint64 h)
{
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 33);
}

// Eight bytes at a time: each step is a bijection of the state, so any one word changed
// changes the print.
quint64 bytesPrint(const char *bytes, qsizetype count, quint64 h)
{
    for (; count >= 8; count -= 8, bytes += 8) {
        quint64 word;
        std::memcpy(&word, bytes, 8);
        h = (h ^ word) * kMultiplier;
    }
    quint64 rest = 0;
    for (qsizetype i = 0; i < count; ++i)
        rest = rest << 8 | quint64(static_cast<unsigned char>(bytes[i]));
    return (h ^ rest ^ quint64(count)) * kMultiplier;
}

// A value with its type.
quint64 valuePrint(sqlite3_value *value)
{
    const int type = sqlite3_value_type(value);
    switch (type) {
    case SQLITE_NULL:
        return 1;
    case SQLITE_INTEGER:
        return quint64(sqlite3_value_int64(value)) * kMultiplier + 2;
    case SQLITE_FLOAT: {
        const double number = sqlite3_value_double(value);
        quint64 bits;
        std::memcpy(&bits, &number, sizeof bits);
        return bits * kMultiplier + 3;
    }
    default:
        return bytesPrint(static_cast<const char *>(sqlite3_value_blob(value)), sqlite3_value_bytes(value), quint64(type));
    }
}

// mid, pid, expandFlag, editTime
quint64 rowPrint(sqlite3_value **columns)
{
    quint64 h = 0;
    for (int i = 0; i < 4; ++i)
        h = (h ^ valuePrint(columns[i])) * kMultiplier + quint64(i);
    return finish(h);
}

void printOne(sqlite3_context *context, int, sqlite3_value **arguments)
{
    sqlite3_result_int64(context, qint64(rowPrint(arguments)));
}

void printEach(sqlite3_context *, int, sqlite3_value **arguments)
{
    auto *prints = static_cast<RowPrints *>(sqlite3_value_pointer(arguments[0], kRowPrintsType));
    if (prints)
        prints->push_back({sqlite3_value_int64(arguments[1]), 0, rowPrint(arguments + 2)});
}

void printsDone(sqlite3_context *context)
{
    sqlite3_result_null(context);
}

} // namespace

quint64 idPrint(QStringView mid)
{
    return finish(bytesPrint(reinterpret_cast<const char *>(mid.utf16()), mid.size() * 2, 0));
}

void addRowPrintFunctions(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
    sqlite3_create_function_v2(db, "memo_print", 4, flags, nullptr, printOne, nullptr, nullptr, nullptr);
    sqlite3_create_function_v2(db, "memo_prints", 6, SQLITE_UTF8 | SQLITE_DIRECTONLY, nullptr, nullptr, printEach,
                               printsDone, nullptr);
}

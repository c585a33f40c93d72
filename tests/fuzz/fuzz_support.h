#pragma once

#include "data/field_type.h"

#include <QString>

#include <cstddef>
#include <cstdint>

class Database;

// What the parsers' fuzz targets share. Each target defines the one entry function that libFuzzer
// calls, and that the replay driver calls in the test suite:
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace Fuzz {

// The application object, Russian as the program's default, and a clock fixed on one day, so that
// every run reads two-digit years alike. Cheap after the first call.
void environment();

// An empty store of the program in a temporary directory that lives as long as the process, written
// without waiting for the disk.
Database &store();

QString text(const uint8_t *data, size_t size);

// Reports a broken promise of the code under test with the input that broke it, and aborts, so that
// libFuzzer and the replay driver both keep the input.
[[noreturn]] void fail(const char *promise, const QString &detail);

// SQL built from a text: only the table's field names, the keywords AND, OR, NOT, IS, NULL and SET,
// comparison and assignment signs, parentheses, commas and one placeholder per bound value. No byte
// of the text itself may be in it.
void requireOnlyNamesAndPlaceholders(const QString &sql, const TableDef &table, qsizetype values,
                                     const QString &input);

} // namespace Fuzz

#define FUZZ_REQUIRE(condition, detail)                                                                      \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            Fuzz::fail(#condition, detail);                                                                  \
    } while (false)

#pragma once

#include "config/key_value_table.h"

namespace kiosk {

// The fixed rows and defaults of the option, mail, error and operator tables.
void FillOptionTable(KeyValueTable& table);
void FillMailTable(KeyValueTable& table);
void FillErrorTable(KeyValueTable& table);
void FillOperatorTable(KeyValueTable& table);

// Parameter kind of an operator row: 's' (text, required), 'l' (label, required), '*' (any text) or
// '\0' (no parameter line).
char OperatorKind(const KeyValueTable& operators, int op);

}  // namespace kiosk

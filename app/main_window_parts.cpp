#include "app/main_window_parts.h"

#include "config/default_tables.h"

namespace kiosk {

void FillDefaultRows(KeyValueTable& options, KeyValueTable& mail, KeyValueTable& errors,
                     KeyValueTable& operators) {
    FillOptionTable(options);
    FillMailTable(mail);
    FillErrorTable(errors);
    FillOperatorTable(operators);
}

}  // namespace kiosk

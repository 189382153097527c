#include "config/default_tables.h"

#include <initializer_list>

namespace kiosk {

namespace {

void AddRows(KeyValueTable& table, std::initializer_list<const char*> rows) {
    for (const char* row : rows) table.AddRow(row);
}

}  // namespace

void FillOptionTable(KeyValueTable& table) {
    AddRows(table,
            {"start=", "process=", "zoom=0", "interval=0", "keys=0", "back=true", "menu=false", "sleep=15",
             "log=31", "internal=8181", "port=8080", "proxy=", "host=", "login=", "password=", "headers="});
}

void FillMailTable(KeyValueTable& table) {
    AddRows(table, {"host=", "login=", "password=", "from=", "subject=", "agent="});
}

void FillErrorTable(KeyValueTable& table) {
    AddRows(table, {"document=", "net=", "search=", "notification="});
}

void FillOperatorTable(KeyValueTable& table) {
    AddRows(table, {"url=s",    "text=s",  "expand=s", "tag=s",    "tail=s",   "delete=",   "replace=*",
                    "insert=s", "add=s",   "strip=",   "start=",   "current=", "after=",    "inside=",
                    "inner=",   "label=s", "goto=l",   "repeat=l", "try=l",    "continue=", "error=",
                    "exit=*",   "state=s", "write=s",  "read=s"});
}

char OperatorKind(const KeyValueTable& operators, int op) {
    const std::string kind = operators.ValueAt(op);
    return kind.empty() ? '\0' : kind.front();
}

}  // namespace kiosk

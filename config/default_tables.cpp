#include "config/default_tables.h"

#include <initializer_list>
#include <string>

#include "config/option_defaults.h"

namespace kiosk {

namespace {

void AddRows(KeyValueTable& table, std::initializer_list<std::string> rows) {
    for (const std::string& row : rows) table.AddRow(row);
}

std::string Row(const char* name, int value) {
    return std::string(name) + "=" + std::to_string(value);
}

}  // namespace

void FillOptionTable(KeyValueTable& table) {
    AddRows(table, {"start=",
                    "process=",
                    "zoom=0",
                    Row("interval", kDefaultKeyboardInterval),
                    Row("keys", kDefaultKeyboardKeys),
                    "back=true",
                    "menu=false",
                    Row("sleep", kDefaultSleepMinutes),
                    Row("log", kDefaultDaysToKeep),
                    Row("internal", kDefaultInternalPort),
                    Row("port", kDefaultProxyPort),
                    "proxy=",
                    "host=",
                    "login=",
                    "password=",
                    "headers=",
                    "https=",
                    "cafile=",
                    "metrics=",
                    "language="});
}

void FillMailTable(KeyValueTable& table) {
    AddRows(table, {"host=", "login=", "password=", "from=", "subject=", "agent=", "tls="});
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

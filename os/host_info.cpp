#include "os/host_info.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <ctime>

namespace kiosk {

std::string LocalHostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) == 0 && name[0] != '\0') return name;
    utsname system{};
    if (::uname(&system) == 0 && system.nodename[0] != '\0') return system.nodename;
    return "localhost";
}

int UtcOffsetMinutes(DateTime localTime) {
    const CivilDateTime civil = DecodeDateTime(localTime);
    std::tm local{};
    local.tm_year = civil.year - 1900;
    local.tm_mon = civil.month - 1;
    local.tm_mday = civil.day;
    local.tm_hour = civil.hour;
    local.tm_min = civil.minute;
    local.tm_sec = civil.second;
    local.tm_isdst = -1;
    if (std::mktime(&local) == static_cast<std::time_t>(-1)) return 0;
    return static_cast<int>(local.tm_gmtoff / 60);
}

}  // namespace kiosk

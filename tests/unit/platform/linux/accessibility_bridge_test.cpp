#include "platform/linux/accessibility_bridge.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "tests/support/temp_dir.h"

namespace kiosk {
namespace {

// Listens on folder/bus as the user manager's session bus does.
int BindBusSocket(const std::filesystem::path& folder) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, (folder / "bus").c_str(), sizeof(address.sun_path) - 1);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    return fd;
}

TEST(AccessibilityBridge, OnlyAnAddressOrARuntimeFolderWithTheBusSocketCountsAsASessionBus) {
    testing::TempDir withSocket;
    const int fd = BindBusSocket(withSocket.path());
    testing::TempDir withFile;
    std::ofstream(withFile.path() / "bus") << "not a socket";
    testing::TempDir empty;

    EXPECT_TRUE(SessionBusReachable("unix:path=/run/user/1000/bus", nullptr));
    EXPECT_TRUE(SessionBusReachable(nullptr, withSocket.str().c_str()));
    EXPECT_FALSE(SessionBusReachable("", withFile.str().c_str()));
    EXPECT_FALSE(SessionBusReachable(nullptr, empty.str().c_str()));
    EXPECT_FALSE(SessionBusReachable(nullptr, ""));
    EXPECT_FALSE(SessionBusReachable(nullptr, nullptr));
    ::close(fd);
}

}  // namespace
}  // namespace kiosk

#include "proxy/server/command_dispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiosk {
namespace {

TEST(CommandDispatch, MatchesTheFirstWordWhateverItsCaseAndSplitsTheParameters) {
    const std::vector<std::string> names{"GET", "GETALL", "POST"};
    auto match = MatchCommand(names, "get  /a   HTTP/1.1 ");
    ASSERT_TRUE(match);
    EXPECT_EQ(match->handler, 0u);
    EXPECT_EQ(match->parameters, (std::vector<std::string>{"/a", "HTTP/1.1"}));
    match = MatchCommand(names, "GetAll x");
    ASSERT_TRUE(match);
    EXPECT_EQ(match->handler, 1u);
    match = MatchCommand(names, "POST");
    ASSERT_TRUE(match);
    EXPECT_TRUE(match->parameters.empty());
    EXPECT_FALSE(MatchCommand(names, "GETX /a"));  // the name must be followed by a blank
    EXPECT_FALSE(MatchCommand(names, "GET\t/a"));  // only a blank separates
    EXPECT_FALSE(MatchCommand(names, " GET /a"));
}

}  // namespace
}  // namespace kiosk

#include "proxy/filter/document_types.h"

#include <gtest/gtest.h>

namespace kiosk::testing {
namespace {

TEST(DocumentTypes, TheMediaTypeIsTheValueBeforeItsParametersWhateverTheSpelling) {
    const std::pair<const char*, const char*> cases[] = {
        {"Content-Type: text/html", "text/html"},
        {"Content-Type:text/html", "text/html"},
        {"content-type:   Text/HTML ; charset=utf-8", "text/html"},
        {"CONTENT-TYPE: application/json;charset=UTF-8", "application/json"},
        {"X-Content-Type: text/html", ""},
        {"Content-Length: 5", ""},
    };
    for (const auto& [line, type] : cases) {
        HeaderList headers;
        headers.Add("HTTP/1.1 200 OK");
        headers.Add(line);
        EXPECT_EQ(MediaType(headers), type) << line;
    }
}

TEST(DocumentTypes, TodaysTextTypesAreScriptableErrorPagesKeepTheFourOldOnes) {
    const std::tuple<const char*, bool, bool> cases[] = {
        // type, scriptable, an error answer of it may become the "document" page
        {"text/html", true, true},
        {"text/plain", true, true},
        {"application/xml", true, true},
        {"application/x-javascript", true, true},
        {"text/javascript", true, false},
        {"application/javascript", true, false},
        {"application/ecmascript", true, false},
        {"application/json", true, false},
        {"application/ld+json", true, false},
        {"text/css", true, false},
        {"application/xhtml+xml", true, false},
        {"image/svg+xml", true, false},
        {"text/xml", true, false},
        {"application/atom+xml", true, false},
        {"application/vnd.api+json", true, false},
        {"image/png", false, false},
        {"text/html-sandboxed", false, false},
        {"application/octet-stream", false, false},
        {"", false, false},
    };
    for (const auto& [type, scriptable, errorPage] : cases) {
        EXPECT_EQ(IsScriptableType(type), scriptable) << type;
        EXPECT_EQ(IsErrorPageType(type), errorPage) << type;
    }
}

}  // namespace
}  // namespace kiosk::testing

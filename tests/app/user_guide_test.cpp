// The help's text cut from the README: between the marker lines, or all of it without them.
#include "app/user_guide.h"

#include <gtest/gtest.h>

namespace barvane {
namespace {

TEST(UserGuide, TheMarkedPartOnlyOrTheWholeTextWithoutMarkers) {
  EXPECT_EQ(UserGuideOf("# T\n<!-- help -->\n## Use\ntext\n<!-- /help -->\n## Layout\n"),
            "## Use\ntext\n");
  EXPECT_EQ(UserGuideOf("<!-- help -->\r\nA\r\n<!-- /help -->\r\nB"), "A\r\n");
  EXPECT_EQ(UserGuideOf("x\n<!-- help -->\nto the end"), "to the end");
  EXPECT_EQ(UserGuideOf("x\n<!-- help -->"), "");
  // A marker inside a line is text, not a marker.
  EXPECT_EQ(UserGuideOf("see <!-- help --> here\n"), "see <!-- help --> here\n");
  EXPECT_EQ(UserGuideOf("<!-- help -->\nA `<!-- /help -->` B\n<!-- /help -->\n"),
            "A `<!-- /help -->` B\n");
  EXPECT_EQ(UserGuideOf(""), "");
}

}  // namespace
}  // namespace barvane

#include "vesk/ui/file_filter.h"

#include <gtest/gtest.h>

namespace vesk::ui {
namespace {

TEST(FileFilter, LabelsAndPatternsAlternateAndPatternsSplitAtSemicolons) {
    const auto filters = ParseFileFilter(
        "All Photos |*.bmp;*.rle;*.jpg;*.rle|Bitmaps (*.bmp)|*.bmp|All Files (*.*)|*.*");
    const std::vector<FileFilter> expected = {
        {"All Photos ", {"*.bmp", "*.rle", "*.jpg", "*.rle"}},
        {"Bitmaps (*.bmp)", {"*.bmp"}},
        {"All Files (*.*)", {"*.*"}},
    };
    EXPECT_EQ(filters, expected);
}

TEST(FileFilter, EmptyTextsAndALastLabelWithoutPatternGiveNoChoice) {
    EXPECT_TRUE(ParseFileFilter("").empty());
    EXPECT_TRUE(ParseFileFilter("Only a label").empty());
    EXPECT_EQ(ParseFileFilter("Text|*.txt|Dangling").size(), 1u);
    EXPECT_EQ(ParseFileFilter("Text|;;*.txt;").front().patterns, std::vector<std::string>{"*.txt"});
}

}  // namespace
}  // namespace vesk::ui

#include "vesk/ui/console_ui_services.h"

#include <gtest/gtest.h>

#include <sstream>

#include "vesk/ui/message_box.h"

namespace vesk::ui {
namespace {

TEST(ConsoleUiServices, BoxesArePrintedAsTitleAndTextAndGetTheirDefaultAnswer) {
    std::ostringstream out;
    ConsoleUiServices ui(out);
    ui.SetApplicationTitle("Vesk Database Utilities");

    EXPECT_EQ(ui.MessageBox("Database file not found to repair", 48, "File Not Found"),
              MessageBoxAnswer::Ok);
    EXPECT_EQ(ui.MessageBox("Save changes?", 35), MessageBoxAnswer::Yes);
    EXPECT_EQ(ui.MessageBox("Replace?", MessageBoxFlags::YesNo | MessageBoxFlags::DefaultButton2),
              MessageBoxAnswer::No);
    ui.SetApplicationTitle("");
    ui.MessageBox("Untitled", 0);
    EXPECT_EQ(out.str(),
              "File Not Found: Database file not found to repair\n"
              "Vesk Database Utilities: Save changes?\n"
              "Vesk Database Utilities: Replace?\n"
              "Untitled\n");
}

}  // namespace
}  // namespace vesk::ui

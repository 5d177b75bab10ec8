#include "vesk/ui/message_box.h"

#include <gtest/gtest.h>

namespace vesk::ui {
namespace {

using A = MessageBoxAnswer;
using F = MessageBoxFlags;

TEST(MessageBox, TheDefaultAnswerIsTheFirstButtonUnlessAnotherIsNamed) {
    EXPECT_EQ(DefaultAnswer(0), A::Ok);
    EXPECT_EQ(DefaultAnswer(48), A::Ok);
    EXPECT_EQ(DefaultAnswer(4), A::Yes);
    EXPECT_EQ(DefaultAnswer(35), A::Yes);
    EXPECT_EQ(DefaultAnswer(F::AbortRetryIgnore), A::Abort);
    EXPECT_EQ(DefaultAnswer(F::YesNoCancel | F::DefaultButton2), A::No);
    EXPECT_EQ(DefaultAnswer(F::YesNoCancel | F::DefaultButton3), A::Cancel);
    EXPECT_EQ(DefaultAnswer(F::YesNo | F::DefaultButton3), A::Yes);
}

}  // namespace
}  // namespace vesk::ui

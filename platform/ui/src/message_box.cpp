#include "vesk/ui/message_box.h"

namespace vesk::ui {

namespace {

constexpr int ButtonSetMask = 0x0F;
constexpr int DefaultButtonShift = 8;
constexpr int DefaultButtonMask = 0x03;

}  // namespace

std::vector<int> MessageBoxButtons(int flags) {
    using A = MessageBoxAnswer;
    switch (flags & ButtonSetMask) {
        case MessageBoxFlags::OkCancel:
            return {A::Ok, A::Cancel};
        case MessageBoxFlags::AbortRetryIgnore:
            return {A::Abort, A::Retry, A::Ignore};
        case MessageBoxFlags::YesNoCancel:
            return {A::Yes, A::No, A::Cancel};
        case MessageBoxFlags::YesNo:
            return {A::Yes, A::No};
        case MessageBoxFlags::RetryCancel:
            return {A::Retry, A::Cancel};
        default:
            return {A::Ok};
    }
}

int DefaultAnswer(int flags) {
    const std::vector<int> buttons = MessageBoxButtons(flags);
    const auto index = static_cast<std::size_t>((flags >> DefaultButtonShift) & DefaultButtonMask);
    return index < buttons.size() ? buttons[index] : buttons.front();
}

}  // namespace vesk::ui

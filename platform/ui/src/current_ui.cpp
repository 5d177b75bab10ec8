#include "vesk/ui/current_ui.h"

#include <utility>

#include "system_ui_services.h"

namespace vesk::ui {

namespace {

UiServices*& Installed() {
    static UiServices* installed = nullptr;
    return installed;
}

}  // namespace

UiServices& Ui() {
    static SystemUiServices system;
    UiServices* installed = Installed();
    return installed != nullptr ? *installed : system;
}

UiServices* SetUi(UiServices* services) {
    return std::exchange(Installed(), services);
}

}  // namespace vesk::ui

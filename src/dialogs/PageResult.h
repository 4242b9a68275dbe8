// How a wizard page ends, in the values the page exports hand to the script.
#pragma once

#include "KivForIS55.h"

namespace kiv::dialogs {

enum class PageResult : int {
    Next = KIV_PAGE_NEXT,
    Cancel = KIV_PAGE_CANCEL,
    Back = KIV_PAGE_BACK,
    NotCreated = KIV_PAGE_FAILED,
};

constexpr int ToInt(PageResult result) noexcept { return static_cast<int>(result); }

}  // namespace kiv::dialogs

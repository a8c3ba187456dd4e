// Radio buttons the pages check themselves: a control holds only its own state, so the
// page unchecks the rest of the group as the dialog manager would on a click.
#pragma once
#include <initializer_list>

#include "platform/DialogView.h"

namespace setup {

// Checks `chosen` and unchecks every other button of `group`; 0 unchecks them all.
inline void CheckRadioInGroup(plat::DialogView& view, std::initializer_list<int> group, int chosen) {
    for (int id : group) view.SetCheck(id, id == chosen);
}

}  // namespace setup

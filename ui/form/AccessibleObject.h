#pragma once

// What assistive technology is told of the window and of each control it
// reads, decided here once for every front end: its role, name, description,
// value and relations. A front end maps the abstract role to its platform's
// nearest, in one table, and hands the rest on as it is.

#include "WindowTable.h"

#include <string>
#include <string_view>

namespace form {

// What an object is to assistive technology.
enum class AccessibleRole
{
    // The window itself, which holds the rest: on a desktop a fixed window
    // with a statement and two buttons, which readers present as a dialog;
    // in a page, the page's main region.
    Window,
    PushButton,
    StaticText, // a label's text
    Graphic,    // the formula's picture
    Separator,  // a frame line; none is read (no reading index)
};

constexpr AccessibleRole accessibleRole(ControlKind kind) noexcept
{
    switch (kind) {
    case ControlKind::Button:
        return AccessibleRole::PushButton;
    case ControlKind::Label:
        return AccessibleRole::StaticText;
    case ControlKind::Image:
        return AccessibleRole::Graphic;
    case ControlKind::Line:
        break;
    }
    return AccessibleRole::Separator;
}

// One object as assistive technology gets it; every text single-spaced.
struct AccessibleObject
{
    AccessibleRole role;
    std::u16string name;
    std::u16string description = {}; // empty: none
    // The text a result field is read by: the answer's, as it shows now;
    // empty for every other control.
    std::u16string value = {};
    // Relations, where the platform has them (MSAA has none). The label
    // whose text is the description, and its inverse; the control whose
    // content a press changes, and its inverse. Each is null where there is
    // none, and the description's where it is not given (Reading::InOrder).
    const ControlSpec *describedBy = nullptr;
    const ControlSpec *describes = nullptr;
    const ControlSpec *controls = nullptr;
    const ControlSpec *controlledBy = nullptr;
};

// The window: its role and its title as name.
AccessibleObject accessibleWindow();

// The control of `row`, showing `caption` now (with its "&" markers), met by
// a reader as `reading` says.
AccessibleObject accessibleObject(const ControlSpec &row, std::u16string_view caption,
                                  Reading reading = Reading::ByFocus);

} // namespace form

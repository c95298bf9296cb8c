#include "AccessibleObject.h"

#include "AccessibleText.h"
#include "CaptionLayout.h"

namespace form {
namespace {

const ControlSpec *withRole(Role role)
{
    return role == Role::None ? nullptr : &controlWithRole(role);
}

} // namespace

AccessibleObject accessibleWindow()
{
    return {.role = AccessibleRole::Window, .name = accessibleText(windowSpec().caption)};
}

AccessibleObject accessibleObject(const ControlSpec &row, std::u16string_view caption,
                                  Reading reading)
{
    std::u16string description = accessibleDescription(row, reading);
    // A label heard just before its control describes nothing: no relation
    // says it does.
    const ControlSpec *label = rowRelatedTo(row, &ControlSpec::describes);
    return {
        .role = accessibleRole(row.kind),
        .name = accessibleName(row, caption),
        .description = description,
        // The answer is a result: read as a value too, as a result field is.
        .value = row.role == Role::Answer ? accessibleText(ShownCaption::fromCaption(caption).text)
                                          : std::u16string(),
        .describedBy = label && !description.empty() ? label : nullptr,
        .describes = reading == Reading::ByFocus ? withRole(row.describes) : nullptr,
        .controls = withRole(row.controls),
        .controlledBy = rowRelatedTo(row, &ControlSpec::controls),
    };
}

} // namespace form

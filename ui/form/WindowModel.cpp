#include "WindowModel.h"

#include "AccessibleText.h"
#include "AnswerText.h"
#include "CaptionLayout.h"
#include "Contrast.h"
#include "ErrorReport.h"
#include "Factorial.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace form {
namespace {

bool usable(std::u16string_view separator) noexcept
{
    return !separator.empty() && separator.size() <= kLongestDecimalSeparator;
}

// The neighbour of `from` in tab order, `step` places on; past an end, round
// to the other where `round`, else none. From no button, the first (or,
// backwards, the last) where `round`, else none: the focus comes in from
// outside the way its surroundings send it.
Role nextInTabOrder(Role from, int step, bool round)
{
    const std::vector<const ControlSpec *> order = tabOrder();
    const auto count = static_cast<int>(order.size());
    if (count == 0)
        return Role::None;
    const auto at = std::find_if(order.begin(), order.end(),
                                 [&](const ControlSpec *row) { return row->role == from; });
    int next = at == order.end() ? (step > 0 ? 0 : count - 1)
                                 : static_cast<int>(at - order.begin()) + step;
    if (!round && (at == order.end() || next < 0 || next >= count))
        return Role::None;
    next = (next + count) % count;
    return order[static_cast<std::size_t>(next)]->role;
}

} // namespace

std::u16string_view usableDecimalSeparator(const DecimalSeparators &offered) noexcept
{
    if (usable(offered.user))
        return offered.user;
    return usable(offered.locale) ? std::u16string_view(offered.locale) : u".";
}

Rgb inkOf(const ControlSpec &row, Rgb schemeText) noexcept
{
    if (row.foreground)
        return *row.foreground;
    // The band's colour is fixed, the scheme's text colour is not: a dark
    // scheme's light text would vanish on yellow.
    return row.background ? legibleInk(schemeText, *row.background) : schemeText;
}

Rgb inkOf(const ControlSpec &row, const SchemeColours &scheme) noexcept
{
    switch (row.kind) {
    case ControlKind::Label:
        return inkOf(row, scheme.text);
    case ControlKind::Button:
        // Some browsers' dark schemes put white captions on light grey faces.
        return scheme.buttonFace ? legibleInk(scheme.buttonText, *scheme.buttonFace)
                                 : scheme.buttonText;
    case ControlKind::Line:
    case ControlKind::Image:
        break;
    }
    return scheme.text;
}

char16_t foldCase(char16_t letter) noexcept
{
    if ((letter >= u'A' && letter <= u'Z') || (letter >= u'А' && letter <= u'Я'))
        return static_cast<char16_t>(letter + 0x20);
    if (letter >= u'Ѐ' && letter <= u'Џ')
        return static_cast<char16_t>(letter + 0x50);
    return letter;
}

WindowModel::WindowModel(WindowView &view, calc::Calculation calculation)
    : view_(view), calculation_(std::move(calculation)),
      answer_(controlWithRole(Role::Answer).caption)
{}

void WindowModel::start(const SchemeColours &scheme)
{
    surroundings_ = view_.surroundings();
    schemeChanged(scheme);
    // In a page the focus stays where the reader has it: taking it would
    // scroll a surrounding page to the window, and start a screen reader's
    // reading at the button instead of the task.
    if (!surroundings_.keepsFocus)
        return;
    if (const Role first = nextInTabOrder(Role::None, 1, true); first != Role::None)
        view_.setFocus(first, FocusReason::Start);
}

void WindowModel::schemeChanged(const SchemeColours &scheme)
{
    for (const ControlSpec &row : controlSpecs()) {
        if (row.kind != ControlKind::Image)
            view_.setInk(row, inkOf(row, scheme));
    }
}

void WindowModel::click(Role role)
{
    if (state_ != State::Running)
        return;
    // Whatever a handler throws ends here: reported, never left to unwind
    // through the toolkit.
    try {
        switch (role) {
        case Role::Calculate:
            Command1_Click();
            break;
        case Role::Exit:
            Command2_Click();
            break;
        case Role::None:
        case Role::Answer:
            break;
        }
    } catch (...) {
        reportError(std::current_exception());
    }
}

bool WindowModel::pressKey(KeyPress press)
{
    if (state_ != State::Running)
        return false;
    if (press.alt)
        return press.key == Key::Letter && pressAccessKey(press.letter);
    const Role focus = view_.focused();
    switch (press.key) {
    case Key::Tab:
    case Key::Backtab: {
        const bool forward = press.key == Key::Tab;
        const Role next = nextInTabOrder(focus, forward ? 1 : -1, surroundings_.keepsFocus);
        if (next == Role::None)
            return false;
        view_.setFocus(next, forward ? FocusReason::Tab : FocusReason::Backtab);
        return true;
    }
    case Key::Enter:
        // With no button focused, Return presses the default button, as in
        // a dialog: a reader who has just heard the task need not find it.
        click(focus == Role::None ? defaultButton().role : focus);
        return true;
    case Key::Space:
        if (focus == Role::None)
            return false;
        click(focus);
        return true;
    case Key::Escape: // the window is no dialog to cancel
    case Key::Letter: // typing
        break;
    }
    return false;
}

bool WindowModel::pressAccessKey(char16_t letter)
{
    const ControlSpec *button = buttonWithAccessKey(letter, foldCase);
    if (!button)
        return false;
    // The focus stays where it was: a reader hears the answer, not a move.
    click(button->role);
    return true;
}

void WindowModel::reportError(const std::exception_ptr &error)
{
    // One box a run: a failure that repeats, or one more while the box is
    // open, adds nothing.
    if (state_ != State::Running)
        return;
    state_ = State::Reporting;
    view_.showErrorBox(errorMessage(error));
}

void WindowModel::errorBoxClosed()
{
    if (state_ != State::Reporting)
        return;
    state_ = State::Ended;
    view_.close(kExitStatusReportedError);
}

calc::Variant WindowModel::f(const std::int16_t &k) const
{
    return calc::f(k);
}

void WindowModel::Command1_Click()
{
    const calc::SeriesSum sum = calculation_();
    const DecimalSeparators offered = view_.decimalSeparators();
    std::u16string text = calc::makeAnswerText(sum.s, sum.k, usableDecimalSeparator(offered));
    const ControlSpec &row = controlWithRole(Role::Answer);
    view_.showCaption(row, text);
    answer_ = std::move(text);
    view_.announce(accessibleName(row, answer_));
}

void WindowModel::Command2_Click()
{
    state_ = State::Ended;
    view_.close(kExitStatusOk);
}

} // namespace form

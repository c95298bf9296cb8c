#pragma once

// The window's behaviour, the same under every toolkit: what each click and
// key does, where the focus goes, what the answer and the bands' ink are, and
// how a failure is reported. A front end implements WindowView, draws, and
// calls back here; it decides none of this itself.

#include "SeriesSum.h"
#include "Variant.h"
#include "WindowTable.h"
#include "WindowView.h"

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace form {

// Windows' own settings take a decimal separator of one to three characters.
inline constexpr std::size_t kLongestDecimalSeparator = 3;

// The separator the answer is written with: the user's where Windows' own
// settings would have taken it, else the locale's own, else a point. An
// empty one would join the integer digits to the decimals (a wrong number),
// a long one push the answer out of its label.
std::u16string_view usableDecimalSeparator(const DecimalSeparators &offered) noexcept;

// The ink of a label's text under a scheme whose text colour is
// `schemeText`: its own colour where the table gives one; on a band of its
// own, the scheme's where that reads on the band, else black or white;
// elsewhere the scheme's.
Rgb inkOf(const ControlSpec &row, Rgb schemeText) noexcept;

// The ink of every kind of control under `scheme`: a label's as inkOf, a
// line in the scheme's text colour, a button's caption in the system's
// button text where that reads on the system's button face, else black or
// white. (Pictures have none.)
Rgb inkOf(const ControlSpec &row, const SchemeColours &scheme) noexcept;

// Case folding for the access keys, which are Latin or Cyrillic letters.
char16_t foldCase(char16_t letter) noexcept;

// The keys a view passes on; what each does is the window's to decide.
enum class Key
{
    Tab,     // the focus to the next button (round to the first, where the window keeps it)
    Backtab, // the focus to the previous button (round to the last, likewise)
    Enter,   // presses the focused button, or with none the table's default one
    Space,   // presses the focused button
    Escape,  // nothing: the window is no dialog to cancel, and leaves it to the toolkit
    Letter,  // with Alt, presses the button with that access key
};

// One key as the user pressed it.
struct KeyPress
{
    Key key;
    char16_t letter = 0; // Key::Letter's, as the keyboard layout makes it
    bool alt = false;
};

// The window object, Form1 of the program's description.
class WindowModel
{
public:
    // `calculation` is what Calculate runs.
    WindowModel(WindowView &view, calc::Calculation calculation);
    WindowModel(const WindowModel &) = delete;
    WindowModel &operator=(const WindowModel &) = delete;

    // The window has opened, under `scheme`: the first button in tab order
    // takes the focus, where the window keeps the focus.
    void start(const SchemeColours &scheme);
    // The user's colour scheme is now `scheme`.
    void schemeChanged(const SchemeColours &scheme);

    // A click on the control with `role`; a click elsewhere does nothing.
    void click(Role role);
    // True where the key meant something to the window, which the view
    // then keeps from the toolkit; false leaves it to the toolkit (or what
    // surrounds the window). Tab past either end of a window that does not
    // keep the focus is left so. With Alt, only a letter means something:
    // the button with that access key is pressed, the focus staying where it
    // is. A letter without Alt is typing, never an access key.
    bool pressKey(KeyPress press);

    // A failure outside the model's own handlers (drawing, say): reported
    // the same way as theirs.
    void reportError(const std::exception_ptr &error);
    void errorBoxClosed();

    // What the answer label shows now.
    const std::u16string &answer() const noexcept { return answer_; }
    bool isRunning() const noexcept { return state_ == State::Running; }

    // The factorial of the exercise.
    calc::Variant f(const std::int16_t &k) const;
    // The Calculate button: sum, answer, announcement.
    void Command1_Click();
    // The Exit button.
    void Command2_Click();

private:
    bool pressAccessKey(char16_t letter);

    enum class State
    {
        Running,
        Reporting, // an error box is open; everything else waits for its end
        Ended,
    };

    WindowView &view_;
    calc::Calculation calculation_;
    std::u16string answer_;
    State state_ = State::Running;
    Surroundings surroundings_;
};

} // namespace form

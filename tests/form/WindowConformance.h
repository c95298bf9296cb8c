#pragma once

// The window's behaviour, written once and run against every view: each
// front end's test supplies a driver that works its window as a user would
// and reads back what the window shows, then instantiates these cases:
//
//     INSTANTIATE_TYPED_TEST_SUITE_P(Qt, WindowConformance, QtDriver);

#include "AnswerText.h"
#include "CaptionLayout.h"
#include "ErrorReport.h"
#include "RuntimeError.h"
#include "SeriesSum.h"
#include "WindowTable.h"
#include "WindowView.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <gtest/gtest.h>
#include <new>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace conformance {

// One object of the window as the platform's assistive technology reads it.
struct Accessible
{
    // "window", "push button", "text", "graphic" or "separator": the
    // platform's role in the words of the window's roles, as the driver
    // reads it; any other role in the platform's own words.
    std::string role;
    std::u16string name;
    std::u16string description = {};
    std::u16string value = {};

    friend bool operator==(const Accessible &, const Accessible &) = default;
};

inline std::string utf8(std::u16string_view text)
{
    std::string out;
    for (const char16_t unit : text) {
        if (unit < 0x80) {
            out += char(unit);
        } else if (unit < 0x800) {
            out += char(0xC0 | (unit >> 6));
            out += char(0x80 | (unit & 0x3F));
        } else {
            out += char(0xE0 | (unit >> 12));
            out += char(0x80 | ((unit >> 6) & 0x3F));
            out += char(0x80 | (unit & 0x3F));
        }
    }
    return out;
}

inline void PrintTo(const Accessible &object, std::ostream *out)
{
    *out << "\n    {" << object.role << " | " << utf8(object.name) << " | "
         << utf8(object.description) << " | " << utf8(object.value) << "}";
}

// A control where the view placed it, in pixels at 96 dpi.
struct Placed
{
    std::string name;
    form::PixelRect box;

    friend bool operator==(const Placed &, const Placed &) = default;
};

inline void PrintTo(const Placed &placed, std::ostream *out)
{
    *out << "\n    {" << placed.name << " " << placed.box.left << ',' << placed.box.top << ' '
         << placed.box.width << 'x' << placed.box.height << "}";
}

// A key as the user presses it: Alt and Letter go with `letter`, Letter
// typed without Alt.
struct Press
{
    enum class Kind
    {
        Tab,
        Backtab,
        Enter,
        Space,
        Escape,
        Alt,
        Letter,
    } kind;
    char16_t letter = 0;
};

// A line of a caption as the window draws it: its text, without the spaces
// that hang past its end, and where the driver can read them, where its ink
// runs and its top, in the window's 96-dpi pixels from its client area's
// top left. (A caption the system draws, a native button's, gives no place.)
struct DrawnLine
{
    std::u16string text;
    std::optional<double> left = {};
    std::optional<double> right = {};
    std::optional<double> top = {};
};

// The access key's underline as drawn: under which character, and where the
// driver can read it, from where to where; and where it can read it, the cell
// that character is drawn in, which the underline is to span.
struct DrawnUnderline
{
    char16_t character;
    std::optional<double> left = {};
    std::optional<double> right = {};
    std::optional<double> cellLeft = {};
    std::optional<double> cellRight = {};
};

// Whether a pixel `seen` is ink rather than band: nearer the one than the
// other, so that a glyph's faint antialiased edge counts as band.
inline bool isInk(form::Rgb seen, form::Rgb ink, form::Rgb band) noexcept
{
    const auto distance = [](form::Rgb a, form::Rgb b) {
        return std::abs(a.red - b.red) + std::abs(a.green - b.green) + std::abs(a.blue - b.blue);
    };
    return distance(seen, ink) < distance(seen, band);
}

struct InkRun
{
    int left;
    int right; // one past the run
};

// The underline as it stands in the pixels of a line's box, [left, right) x
// [top, bottom), where `inked(x, y)` tells ink from band: the widest run of
// ink, at least a few pixels wide, in the first row below the baseline that
// has one. The baseline is the lowest row of the lower half inked at least
// half as much as its most inked one, where the glyphs stand (at a large
// scale their strokes take several rows); below it only descenders reach,
// each too narrow, and feet lower down.
template <typename Inked>
std::optional<InkRun> underlineInPixels(const Inked &inked, int left, int top, int right,
                                        int bottom)
{
    constexpr int kNarrowest = 3;
    std::vector<int> counts;
    const int half = (top + bottom) / 2;
    for (int y = half; y < bottom; ++y) {
        int count = 0;
        for (int x = left; x < right; ++x)
            count += inked(x, y) ? 1 : 0;
        counts.push_back(count);
    }
    const int most = counts.empty() ? 0 : *std::max_element(counts.begin(), counts.end());
    int baseline = -1;
    for (int y = half; y < bottom; ++y) {
        if (most > 0 && 2 * counts[std::size_t(y - half)] >= most)
            baseline = y;
    }
    if (baseline < 0)
        return {};
    for (int y = baseline + 1; y < bottom; ++y) {
        std::optional<InkRun> widest;
        for (int x = left; x < right;) {
            int end = x;
            while (end < right && inked(end, y))
                ++end;
            if (end - x >= kNarrowest && (!widest || end - x > widest->right - widest->left))
                widest = InkRun{x, end};
            x = std::max(end, x + 1);
        }
        if (widest)
            return widest;
    }
    return {};
}

struct DrawnCaption
{
    std::vector<DrawnLine> lines;
    std::optional<DrawnUnderline> underline = {};
};

// One front end's window, worked from outside. Each driver opens at most
// one window and ends it (and anything it started) when destroyed.
class WindowDriver
{
public:
    virtual ~WindowDriver() = default;

    // Opens the window, shown and active, and the user starts working it
    // (in a browser, where the window takes no focus, by Tab into it):
    // Calculate runs `calculation`, the system offers `separators`, the
    // scheme's text is black.
    virtual void open(calc::Calculation calculation, form::DecimalSeparators separators) = 0;
    virtual void click(form::Role button) = 0;
    virtual void press(Press key) = 0;
    // The user's colour scheme changes to one with `text` as text colour.
    virtual void changeScheme(form::Rgb text) = 0;
    // The system's buttons change to `text` on `face` (a driver whose
    // platform will not be told so sets them through its view's test hooks).
    virtual void changeButtonColours(form::Rgb text, form::Rgb face) = 0;
    // `error` leaves the window's code elsewhere than a click (a drawing, say).
    virtual void failElsewhere(std::exception_ptr error) = 0;

    virtual std::u16string answer() = 0;
    virtual form::Role focus() = 0;
    // The ink of the control `name` as drawn: a label's or a button's text,
    // a line itself.
    virtual form::Rgb ink(const char *name) = 0;
    // The window's client area as "Form1", then each control, front to back
    // as the view stacks them.
    virtual std::vector<Placed> placed() = 0;
    // The colour the view paints `name`'s box in ("Form1": the window's
    // own), seen three pixels in from the box's bottom right corner, where
    // no text and nothing in front of it stands.
    virtual form::Rgb background(const char *name) = 0;
    // The caption of the label or button `name` as drawn.
    virtual DrawnCaption caption(const char *name) = 0;
    // What assistive technology was told, in order.
    virtual std::vector<std::u16string> announcements() = 0;
    // The message of each error box shown, in order.
    virtual std::vector<std::u16string> errorBoxes() = 0;
    // The status the program ended with; unset while it runs.
    virtual std::optional<int> status() = 0;
    // The window's accessible object, then each of its children in the
    // order a screen reader reads them, as the platform's own interfaces
    // give them to assistive technology.
    virtual std::vector<Accessible> accessibleTree() = 0;
    // False where the platform gives static text no value (ARIA): the
    // answer's value is read as its text alone.
    virtual bool textHasValue() const { return true; }
    // False where the view measures its text in metrics other than its
    // faces' own (a page without fonts): its lines break elsewhere.
    virtual bool measuresItsFaces() const { return true; }
};

inline calc::SeriesSum overflowingSum()
{
    // Starting the series at 171 makes the first factorial overflow.
    return calc::sumSeriesFrom({0.0, 1.0, 171}, calc::seriesTerm);
}

inline const std::u16string &initialAnswer()
{
    return form::controlWithRole(form::Role::Answer).caption;
}

// The window's texts as a reader gets them: single-spaced, no "&" markers.
inline const std::u16string kTask =
    u"Задание: \"Вычислить сумму бесконечного ряда с точностью до 0,00001. Суммируются все "
    u"члены ряда, значения которых больше 0,00001. Вычисление факториала организовать с "
    u"помощью подпрограммы-функции. Ввод данных организовать с помощью функции InputBox, "
    u"вывод - на элемент управления Label\".";
inline const std::u16string kFormula = u"Формула: сумма по K от 1 до бесконечности, K факториал, "
                                       u"делённое на факториал суммы 4 и K";
inline const std::u16string kCalculateInstruction =
    u"Для вычисления конечной суммы данного ряла, нажмите кнопку \"Вычислить\" и Вы получите "
    u"\" О Т В Е Т \" .";
inline const std::u16string kExitInstruction =
    u"Для завершения работы программы нажмите кнопку \"Выход\".";

// The tree a reader meets, the answer showing `answer`; each button
// described by its instruction where `described`.
inline std::vector<Accessible> expectedTree(const std::u16string &answer, bool described,
                                            bool textHasValue)
{
    return {
        {"window", u"Velto"},
        {"text", kTask},
        {"graphic", kFormula},
        {"text", kCalculateInstruction},
        {"push button", u"Вычислить", described ? kCalculateInstruction : u""},
        {"text", answer, u"", textHasValue ? answer : u""},
        {"text", kExitInstruction},
        {"push button", u"Выход", described ? kExitInstruction : u""},
    };
}

template <typename Driver> class WindowConformance : public testing::Test
{
protected:
    // A window of its own for each row of a table, as each may end it.
    static void open(Driver &driver, calc::Calculation calculation = calc::sumSeries,
                     form::DecimalSeparators separators = {u","})
    {
        driver.open(std::move(calculation), std::move(separators));
    }

    static void expectStillRunning(Driver &driver)
    {
        EXPECT_EQ(driver.status(), std::nullopt);
        EXPECT_TRUE(driver.errorBoxes().empty());
    }
};

TYPED_TEST_SUITE_P(WindowConformance);

using form::Role;

TYPED_TEST_P(WindowConformance, StartsWithTheInitialAnswerAndTheFocusOnCalculate)
{
    TypeParam driver;
    this->open(driver);
    EXPECT_EQ(driver.answer(), initialAnswer());
    EXPECT_EQ(driver.focus(), Role::Calculate);
    EXPECT_TRUE(driver.announcements().empty());
    this->expectStillRunning(driver);
}

// Alt with either case of a button's underlined letter, from either button;
// the focus stays where it was.
TYPED_TEST_P(WindowConformance, EachAccessKeyPressesItsButton)
{
    const struct
    {
        char16_t letter;
        bool fromExit;
        Role pressed; // None: nothing happens
    } rows[] = {{u'в', false, Role::Calculate},
                {u'В', true, Role::Calculate},
                {u'ы', false, Role::Exit},
                {u'Ы', true, Role::Exit},
                {u'т', false, Role::None}};
    for (const auto &[letter, fromExit, pressed] : rows) {
        SCOPED_TRACE(testing::Message() << "Alt+U+" << std::hex << int(letter));
        TypeParam driver;
        this->open(driver);
        if (fromExit)
            driver.press({Press::Kind::Tab});
        driver.press({Press::Kind::Alt, letter});
        EXPECT_EQ(driver.answer(), pressed == Role::Calculate ? u"00,01384   17" : initialAnswer());
        EXPECT_EQ(driver.status(),
                  pressed == Role::Exit ? std::optional(form::kExitStatusOk) : std::nullopt);
        if (pressed != Role::Exit) {
            EXPECT_EQ(driver.focus(), fromExit ? Role::Exit : Role::Calculate);
        }
        EXPECT_TRUE(driver.errorBoxes().empty());
    }
}

// Each key with the focus on each button, sent through the view as the
// user's: Enter and Space press the focused button, once; Escape and a
// button's letter typed without Alt do nothing.
TYPED_TEST_P(WindowConformance, EachKeyDoesItsOwnFromEachButton)
{
    using Kind = Press::Kind;
    const struct
    {
        Press key;
        bool fromExit;
        Role pressed; // None: nothing happens
    } rows[] = {
        {{Kind::Enter}, false, Role::Calculate},   {{Kind::Enter}, true, Role::Exit},
        {{Kind::Space}, false, Role::Calculate},   {{Kind::Space}, true, Role::Exit},
        {{Kind::Escape}, false, Role::None},       {{Kind::Escape}, true, Role::None},
        {{Kind::Letter, u'ы'}, false, Role::None}, {{Kind::Letter, u'в'}, true, Role::None},
    };
    for (const auto &[key, fromExit, pressed] : rows) {
        SCOPED_TRACE(testing::Message() << "key " << int(key.kind) << (fromExit ? " on Exit" : ""));
        TypeParam driver;
        this->open(driver);
        if (fromExit)
            driver.press({Kind::Tab});
        driver.press(key);
        const bool calculated = pressed == Role::Calculate;
        EXPECT_EQ(driver.answer(), calculated ? u"00,01384   17" : initialAnswer());
        EXPECT_EQ(driver.announcements().size(), calculated ? 1U : 0U);
        EXPECT_EQ(driver.status(),
                  pressed == Role::Exit ? std::optional(form::kExitStatusOk) : std::nullopt);
        if (pressed != Role::Exit) {
            EXPECT_EQ(driver.focus(), fromExit ? Role::Exit : Role::Calculate);
        }
        EXPECT_TRUE(driver.errorBoxes().empty());
    }
}

// The system's separator where it is one to three characters, else the
// locale's own, else a point; every Calculate announced, single-spaced.
TYPED_TEST_P(WindowConformance, CalculateWritesTheAnswerWithTheUsersSeparator)
{
    const struct
    {
        form::DecimalSeparators offered;
        std::u16string answer;
        std::u16string spoken;
    } rows[] = {
        {{u","}, u"00,01384   17", u"00,01384 17"},
        {{u"."}, u"00.01384   17", u"00.01384 17"},
        {{u"\u066B"}, u"00\u066B01384   17", u"00\u066B01384 17"},
        {{u"dec.", u","}, u"00,01384   17", u"00,01384 17"},
        {{u"", u"long"}, u"00.01384   17", u"00.01384 17"},
    };
    for (const auto &[offered, answer, spoken] : rows) {
        SCOPED_TRACE(testing::Message() << "user " << offered.user.size() << " characters, locale "
                                        << offered.locale.size());
        TypeParam driver;
        this->open(driver, calc::sumSeries, offered);
        driver.click(Role::Calculate);
        driver.click(Role::Calculate);
        EXPECT_EQ(driver.answer(), answer);
        EXPECT_EQ(driver.announcements(), std::vector<std::u16string>({spoken, spoken}));
        EXPECT_EQ(driver.focus(), Role::Calculate);
        this->expectStillRunning(driver);
    }
}

// However Calculate is pressed, assistive technology is told the answer's
// text once, as a reader reads it (single-spaced).
TYPED_TEST_P(WindowConformance, EachCalculateIsAnnouncedOnceWithTheAnswer)
{
    TypeParam driver;
    this->open(driver, calc::sumSeries, {u"."});
    driver.click(Role::Calculate);
    driver.press({Press::Kind::Enter});
    driver.press({Press::Kind::Alt, u'в'});
    EXPECT_EQ(driver.announcements(), std::vector<std::u16string>(3, u"00.01384 17"));
    this->expectStillRunning(driver);
}

TYPED_TEST_P(WindowConformance, ExitEndsWithStatusZero)
{
    TypeParam driver;
    this->open(driver);
    driver.click(Role::Calculate);
    driver.click(Role::Exit);
    EXPECT_EQ(driver.status(), form::kExitStatusOk);
    EXPECT_TRUE(driver.errorBoxes().empty());
    // Nothing runs after the end.
    driver.click(Role::Calculate);
    EXPECT_EQ(driver.announcements().size(), 1U);
}

// A failure shows one box naming its kind, then the program ends with 1.
TYPED_TEST_P(WindowConformance, AFailureIsReportedOnceWithStatusOne)
{
    const struct
    {
        const char *kind;
        std::exception_ptr elsewhere; // null: Calculate's own failure
    } rows[] = {
        {"Overflow", nullptr},
        {"FloatingPoint",
         std::make_exception_ptr(calc::RuntimeError(calc::ErrorKind::FloatingPoint))},
        {"OutOfMemory", std::make_exception_ptr(std::bad_alloc())},
        {"Unexpected", std::make_exception_ptr(std::runtime_error("drawing failed"))},
    };
    for (const auto &[kind, elsewhere] : rows) {
        SCOPED_TRACE(kind);
        TypeParam driver;
        this->open(driver, overflowingSum);
        if (elsewhere)
            driver.failElsewhere(elsewhere);
        else
            driver.click(Role::Calculate);
        const std::vector<std::u16string> boxes = driver.errorBoxes();
        ASSERT_EQ(boxes.size(), 1U);
        const std::string ascii(boxes.front().begin(), boxes.front().end());
        EXPECT_NE(ascii.find(kind), std::string::npos);
        EXPECT_EQ(driver.status(), form::kExitStatusReportedError);
        EXPECT_EQ(driver.answer(), initialAnswer());
        EXPECT_TRUE(driver.announcements().empty());
    }
}

TYPED_TEST_P(WindowConformance, ASecondFailureAddsNothing)
{
    TypeParam driver;
    this->open(driver, overflowingSum);
    driver.click(Role::Calculate);
    driver.click(Role::Calculate);
    driver.failElsewhere(std::make_exception_ptr(std::runtime_error("again")));
    driver.press({Press::Kind::Alt, u'ы'});
    EXPECT_EQ(driver.errorBoxes().size(), 1U);
    EXPECT_EQ(driver.status(), form::kExitStatusReportedError);
}

// The bands keep their colours; their text takes the scheme's colour where
// that reads on the band, else black or white. The answer keeps its own.
TYPED_TEST_P(WindowConformance, TheBandsInkFollowsTheScheme)
{
    constexpr form::Rgb black{0, 0, 0}, white{255, 255, 255}, navy{0, 0, 139},
        lightGrey{200, 200, 200};
    const struct
    {
        form::Rgb scheme;
        form::Rgb task, calculateInstruction, exitInstruction;
    } rows[] = {
        {white, black, black, black},
        {navy, navy, navy, navy},
        {lightGrey, black, black, black},
        {black, black, black, black},
    };
    TypeParam driver;
    this->open(driver);
    for (const auto &[scheme, task, calculateInstruction, exitInstruction] : rows) {
        SCOPED_TRACE(testing::Message()
                     << int(scheme.red) << ',' << int(scheme.green) << ',' << int(scheme.blue));
        driver.changeScheme(scheme);
        EXPECT_EQ(driver.ink("Label1"), task);
        EXPECT_EQ(driver.ink("Label2"), calculateInstruction);
        EXPECT_EQ(driver.ink("Label3"), exitInstruction);
        EXPECT_EQ(driver.ink("Label4"), white);
    }
    this->expectStillRunning(driver);
}

// Every row a control where the table puts it, the first row in front, and
// the window and the bands in their colours.
TYPED_TEST_P(WindowConformance, EveryRowStandsInItsPlaceAndColour)
{
    const std::vector<Placed> front_to_back = {
        {"Form1", {0, 0, 409, 185}},     {"Command2", {312, 144, 89, 33}},
        {"Command1", {312, 96, 89, 33}}, {"Image1", {280, 0, 77, 45}},
        {"Line6", {408, 0, 1, 185}},     {"Line5", {0, 0, 1, 185}},
        {"Line4", {0, 184, 409, 1}},     {"Line3", {0, 136, 409, 1}},
        {"Line2", {0, 88, 409, 1}},      {"Line1", {0, 0, 409, 1}},
        {"Label2", {8, 88, 297, 33}},    {"Label3", {8, 144, 297, 33}},
        {"Label4", {8, 120, 297, 17}},   {"Label1", {8, 8, 393, 81}},
    };
    const struct
    {
        const char *name;
        form::Rgb colour;
    } colours[] = {
        {"Form1", {0, 0, 255}},      {"Label1", {255, 255, 0}}, {"Label2", {255, 0, 255}},
        {"Label3", {255, 255, 255}}, {"Label4", {0, 0, 0}},
    };
    TypeParam driver;
    this->open(driver);
    EXPECT_EQ(driver.placed(), front_to_back);
    for (const auto &[name, colour] : colours)
        EXPECT_EQ(driver.background(name), colour) << name;
    this->expectStillRunning(driver);
}

// What a screen reader reads, in its order: the lines left out, the
// answer's text as its name and its value, before Calculate and after each.
TYPED_TEST_P(WindowConformance, AssistiveTechnologyReadsTheWindowInOrder)
{
    TypeParam driver;
    this->open(driver, calc::sumSeries, {u"."});
    const bool value = driver.textHasValue();
    const auto withoutDescriptions = [](std::vector<Accessible> tree) {
        for (Accessible &object : tree)
            object.description.clear();
        return tree;
    };
    EXPECT_EQ(withoutDescriptions(driver.accessibleTree()),
              withoutDescriptions(expectedTree(u"О Т В Е Т", false, value)));
    driver.click(Role::Calculate);
    EXPECT_EQ(withoutDescriptions(driver.accessibleTree()),
              withoutDescriptions(expectedTree(u"00.01384 17", false, value)));
    driver.press({Press::Kind::Alt, u'в'});
    EXPECT_EQ(withoutDescriptions(driver.accessibleTree()),
              withoutDescriptions(expectedTree(u"00.01384 17", false, value)));
    this->expectStillRunning(driver);
}

// The frame and the bands' borders are drawn in the scheme's text colour,
// light or dark.
TYPED_TEST_P(WindowConformance, TheLinesFollowTheScheme)
{
    TypeParam driver;
    this->open(driver);
    for (const form::Rgb scheme : {form::Rgb{255, 255, 255}, form::Rgb{0, 0, 139}}) {
        SCOPED_TRACE(testing::Message()
                     << int(scheme.red) << ',' << int(scheme.green) << ',' << int(scheme.blue));
        driver.changeScheme(scheme);
        for (const char *line : {"Line1", "Line2", "Line3", "Line4", "Line5", "Line6"})
            EXPECT_EQ(driver.ink(line), scheme) << line;
    }
    this->expectStillRunning(driver);
}

// A button keeps the system's text where it reads on the system's face;
// where it does not (white on light grey), its caption is drawn in black.
TYPED_TEST_P(WindowConformance, AButtonsCaptionReadsOnItsFace)
{
    const struct
    {
        form::Rgb text, face, ink;
    } rows[] = {
        {{255, 255, 255}, {211, 211, 211}, {0, 0, 0}},
        {{255, 255, 255}, {60, 60, 60}, {255, 255, 255}},
        {{0, 0, 0}, {240, 240, 240}, {0, 0, 0}},
    };
    TypeParam driver;
    this->open(driver);
    for (const auto &[text, face, ink] : rows) {
        SCOPED_TRACE(testing::Message() << int(text.red) << " on " << int(face.red));
        driver.changeButtonColours(text, face);
        EXPECT_EQ(driver.ink("Command1"), ink);
        EXPECT_EQ(driver.ink("Command2"), ink);
    }
    this->expectStillRunning(driver);
}

// Each caption breaks into the lines its runs of spaces were written for,
// each line where its alignment puts it (a button centres its one line) and
// the lines one pitch apart from the label's top; the access key of a
// button, or of a button an instruction names, underlined under its letter.
// Within a pixel's rounding either way and a pixel's ink.
TYPED_TEST_P(WindowConformance, EachCaptionIsDrawnInItsLinesWithItsAccessKeyUnderlined)
{
    constexpr double kTolerance = 1.5;
    const struct
    {
        const char *name;
        std::vector<std::u16string> lines;
        char16_t key = 0;
        std::size_t line = 0; // the key's, and its place in it
        std::size_t column = 0;
    } rows[] = {
        {"Label1",
         {u"Задание:   \"Вычислить  сумму  бесконечного  ряда", u"с  точностью  до 0,00001.",
          u"Суммируются все члены ряда,   значения которых",
          u"больше  0,00001. Вычисление факториала  организовать с помощью",
          u"подпрограммы-функции. Ввод  данных   организовать  с  помощью  функции",
          u"InputBox,   вывод   -   на элемент управления Label\"."}},
        {"Label2",
         {u"Для вычисления конечной суммы данного ряла, нажмите",
          u"кнопку \"Вычислить\" и Вы получите  \" О  Т  В  Е  Т \" ."},
         u'В',
         1,
         8},
        {"Label3", {u"Для завершения работы программы нажмите кнопку", u"\"Выход\"."}, u'В', 1, 1},
        {"Label4", {u" О    Т    В    Е    Т"}},
        {"Command1", {u"Вычислить"}, u'В', 0, 0},
        {"Command2", {u"Выход"}, u'ы', 0, 1},
    };
    TypeParam driver;
    this->open(driver);
    for (const auto &[name, lines, key, keyLine, column] : rows) {
        SCOPED_TRACE(name);
        const form::ControlSpec &row = *form::findControl(name);
        const form::PixelRect box = form::pixelsFromTwips(std::get<form::TwipsRect>(row.geometry));
        const double right = box.left + box.width;
        const DrawnCaption drawn = driver.caption(name);
        // Whatever the measure, the lines are the caption as shown, in order,
        // less only the spaces that hang at their ends.
        const std::u16string shown = form::ShownCaption::fromCaption(row.caption).text;
        const auto spaces = [&](std::size_t from, std::size_t to) {
            return shown.find_first_not_of(u' ', from) >= std::min(to, shown.size());
        };
        std::vector<std::u16string> texts;
        std::size_t end = 0;
        for (const DrawnLine &line : drawn.lines) {
            const std::size_t at = shown.find(line.text, end);
            ASSERT_NE(at, shown.npos) << utf8(line.text);
            EXPECT_TRUE(end == 0 ? at == 0 : spaces(end, at)) << utf8(line.text);
            end = at + line.text.size();
            texts.push_back(line.text);
        }
        EXPECT_TRUE(spaces(end, shown.size()));
        if (driver.measuresItsFaces()) {
            EXPECT_EQ(texts, lines);
        }
        const bool button = row.kind == form::ControlKind::Button;
        for (std::size_t i = 0; i < drawn.lines.size(); ++i) {
            const DrawnLine &line = drawn.lines[i];
            if (line.left && line.right) {
                EXPECT_GE(*line.left, box.left - kTolerance) << "line " << i;
                EXPECT_LE(*line.right, right + kTolerance) << "line " << i;
                switch (button ? form::Alignment::Centre : row.alignment) {
                case form::Alignment::Left:
                    EXPECT_NEAR(*line.left, box.left, kTolerance) << "line " << i;
                    break;
                case form::Alignment::Centre:
                    EXPECT_NEAR(*line.left - box.left, right - *line.right, 2 * kTolerance)
                        << "line " << i;
                    break;
                case form::Alignment::Right:
                    EXPECT_NEAR(*line.right, right, kTolerance) << "line " << i;
                    break;
                }
            }
            const DrawnLine &first = drawn.lines.front();
            if (!button && line.top && first.top && drawn.lines.size() > 1) {
                const double pitch = *drawn.lines[1].top - *first.top;
                EXPECT_GT(pitch, 0.0);
                EXPECT_NEAR(*line.top, box.top + double(i) * pitch, kTolerance) << "line " << i;
            }
        }
        if (!key) {
            EXPECT_FALSE(drawn.underline.has_value());
            continue;
        }
        ASSERT_TRUE(drawn.underline.has_value());
        const DrawnUnderline &underline = *drawn.underline;
        EXPECT_EQ(underline.character, key);
        ASSERT_LT(keyLine, drawn.lines.size());
        const DrawnLine &line = drawn.lines[keyLine];
        if (underline.left && underline.right && line.left && line.right) {
            EXPECT_GT(*underline.right, *underline.left);
            EXPECT_LE(*underline.right, *line.right + kTolerance);
            if (column == 0)
                EXPECT_NEAR(*underline.left, *line.left, kTolerance);
            else
                EXPECT_GT(*underline.left, *line.left + kTolerance);
        }
        // Under its own character, not beside it.
        if (underline.cellLeft && underline.cellRight) {
            ASSERT_TRUE(underline.left && underline.right) << "no underline below the baseline";
            EXPECT_NEAR(*underline.left, *underline.cellLeft, kTolerance);
            EXPECT_NEAR(*underline.right, *underline.cellRight, kTolerance);
        }
    }
}

REGISTER_TYPED_TEST_SUITE_P(WindowConformance, StartsWithTheInitialAnswerAndTheFocusOnCalculate,
                            EachAccessKeyPressesItsButton, EachKeyDoesItsOwnFromEachButton,
                            EachCalculateIsAnnouncedOnceWithTheAnswer,
                            CalculateWritesTheAnswerWithTheUsersSeparator, ExitEndsWithStatusZero,
                            AFailureIsReportedOnceWithStatusOne, ASecondFailureAddsNothing,
                            TheBandsInkFollowsTheScheme, TheLinesFollowTheScheme,
                            AButtonsCaptionReadsOnItsFace, EveryRowStandsInItsPlaceAndColour,
                            AssistiveTechnologyReadsTheWindowInOrder,
                            EachCaptionIsDrawnInItsLinesWithItsAccessKeyUnderlined);

// A window that keeps the focus, as a desktop one does: Tab goes round.
template <typename Driver> class KeptFocusConformance : public WindowConformance<Driver>
{
};
TYPED_TEST_SUITE_P(KeptFocusConformance);

TYPED_TEST_P(KeptFocusConformance, TabGoesRoundTheButtonsOnly)
{
    using Kind = Press::Kind;
    const struct
    {
        Kind key;
        Role focus;
    } steps[] = {{Kind::Tab, Role::Exit},
                 {Kind::Tab, Role::Calculate},
                 {Kind::Backtab, Role::Exit},
                 {Kind::Backtab, Role::Calculate},
                 {Kind::Backtab, Role::Exit}};
    TypeParam driver;
    this->open(driver);
    int step = 0;
    for (const auto &[key, focus] : steps) {
        SCOPED_TRACE(step++);
        driver.press({key});
        EXPECT_EQ(driver.focus(), focus);
    }
    EXPECT_EQ(driver.answer(), initialAnswer());
    this->expectStillRunning(driver);
}

// A desktop reader meets a button by its focus, without the instruction
// read just before it: each button is described by its instruction.
TYPED_TEST_P(KeptFocusConformance, EachButtonIsDescribedByItsInstruction)
{
    TypeParam driver;
    this->open(driver);
    const bool value = driver.textHasValue();
    EXPECT_EQ(driver.accessibleTree(), expectedTree(u"О Т В Е Т", true, value));
    driver.click(Role::Calculate);
    EXPECT_EQ(driver.accessibleTree(), expectedTree(u"00,01384 17", true, value));
}

REGISTER_TYPED_TEST_SUITE_P(KeptFocusConformance, TabGoesRoundTheButtonsOnly,
                            EachButtonIsDescribedByItsInstruction);

// A window in a browser, as a page of its own or in another page's frame,
// where the focus is the reader's: none taken at start, and Tab leaves the
// window at its ends, to the page around it or the browser. The driver also
// has openInBrowser(bool framed), and does with a key the window leaves what
// a browser does: Tab past either end moves the focus out, and from outside
// brings it in.
template <typename Driver> class BrowserFocusConformance : public WindowConformance<Driver>
{
};
TYPED_TEST_SUITE_P(BrowserFocusConformance);

// No focus is taken, in a frame or not: a screen reader reads the page from
// its top. Return with no button focused presses Calculate, the default
// button; Space is left to the browser, which scrolls.
TYPED_TEST_P(BrowserFocusConformance, NoFocusTakenAtStartAndReturnPressesCalculate)
{
    for (const bool framed : {false, true}) {
        SCOPED_TRACE(framed ? "in a frame" : "a page of its own");
        TypeParam driver;
        driver.openInBrowser(framed);
        EXPECT_EQ(driver.focus(), Role::None);
        driver.press({Press::Kind::Space});
        EXPECT_EQ(driver.answer(), initialAnswer());
        driver.press({Press::Kind::Enter});
        driver.press({Press::Kind::Enter});
        EXPECT_EQ(driver.answer(), u"00,01384   17");
        EXPECT_EQ(driver.announcements().size(), 2U);
        EXPECT_EQ(driver.focus(), Role::None);
        this->expectStillRunning(driver);
    }
}

TYPED_TEST_P(BrowserFocusConformance, TabLeavesTheWindowAtItsEnds)
{
    using Kind = Press::Kind;
    struct Step
    {
        Kind key;
        Role focus; // None: the focus is outside the window
    };
    // Each run from a fresh window, the focus outside it: the browser's Tab
    // brings it in at either end.
    const std::vector<std::vector<Step>> runs = {
        {{Kind::Tab, Role::Calculate}, {Kind::Tab, Role::Exit}, {Kind::Tab, Role::None}},
        {{Kind::Tab, Role::Calculate}, {Kind::Backtab, Role::None}},
        {{Kind::Backtab, Role::Exit}, {Kind::Backtab, Role::Calculate}, {Kind::Tab, Role::Exit}},
    };
    int run = 0;
    for (const std::vector<Step> &steps : runs) {
        TypeParam driver;
        driver.openInBrowser(false);
        int step = 0;
        for (const auto &[key, focus] : steps) {
            SCOPED_TRACE(testing::Message() << "run " << run << ", step " << step++);
            driver.press({key});
            EXPECT_EQ(driver.focus(), focus);
        }
        ++run;
        EXPECT_EQ(driver.answer(), initialAnswer());
        this->expectStillRunning(driver);
    }
}

// A page is read in order, each instruction just before its button:
// nothing describes a button again.
TYPED_TEST_P(BrowserFocusConformance, NothingIsReadTwice)
{
    TypeParam driver;
    driver.openInBrowser(false);
    const bool value = driver.textHasValue();
    EXPECT_EQ(driver.accessibleTree(), expectedTree(u"О Т В Е Т", false, value));
    driver.press({Press::Kind::Enter});
    EXPECT_EQ(driver.accessibleTree(), expectedTree(u"00,01384 17", false, value));
}

REGISTER_TYPED_TEST_SUITE_P(BrowserFocusConformance, NoFocusTakenAtStartAndReturnPressesCalculate,
                            TabLeavesTheWindowAtItsEnds, NothingIsReadTwice);

} // namespace conformance

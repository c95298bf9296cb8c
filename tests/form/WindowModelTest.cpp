// The window model against a view that only records what it is told: the
// behaviour every front end shares, without a toolkit.
#include "WindowModel.h"

#include "AccessibleObject.h"
#include "SansSerif8.h"
#include "WindowConformance.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

class FakeView final : public form::WindowView
{
public:
    void showCaption(const form::ControlSpec &row, std::u16string_view caption) override
    {
        captions[row.name] = std::u16string(caption);
    }
    void setInk(const form::ControlSpec &row, form::Rgb ink) override { inks[row.name] = ink; }
    void setFocus(form::Role role, form::FocusReason) override { focus = role; }
    form::Role focused() const override { return focus; }
    void announce(std::u16string_view text) override { heard.emplace_back(text); }
    void showErrorBox(std::u16string_view message) override
    {
        boxes.emplace_back(message);
        // Modal, as a desktop's box is: closed before it returns.
        model->errorBoxClosed();
    }
    void close(int exitStatus) override
    {
        EXPECT_FALSE(status) << "closed twice";
        status = exitStatus;
    }
    form::DecimalSeparators decimalSeparators() const override { return separators; }
    form::Surroundings surroundings() const override { return placed; }

    form::WindowModel *model = nullptr;
    form::Surroundings placed;
    form::DecimalSeparators separators;
    std::map<std::string, std::u16string> captions;
    std::map<std::string, form::Rgb> inks;
    form::Role focus = form::Role::None;
    std::vector<std::u16string> heard;
    std::vector<std::u16string> boxes;
    std::optional<int> status;
};

class FakeDriver final : public conformance::WindowDriver
{
public:
    // Where a browser would show it: the window does not keep the focus.
    // In a frame or not, the same to the model.
    void openInBrowser(bool /*framed*/)
    {
        view_.placed = {false};
        open(calc::sumSeries, {u","});
    }
    void open(calc::Calculation calculation, form::DecimalSeparators separators) override
    {
        view_.separators = std::move(separators);
        model_ = std::make_unique<form::WindowModel>(view_, std::move(calculation));
        view_.model = model_.get();
        // A toolkit builds the captions from the table.
        for (const form::ControlSpec &row : form::controlSpecs())
            view_.captions[row.name] = row.caption;
        model_->start(scheme_);
    }
    void click(form::Role button) override { model_->click(button); }
    void press(conformance::Press key) override
    {
        using Kind = conformance::Press::Kind;
        switch (key.kind) {
        case Kind::Tab:
        case Kind::Backtab:
            // What the window leaves, the browser does: the focus moves out,
            // or from outside in at the end it comes to first.
            if (!model_->pressKey({key.kind == Kind::Tab ? form::Key::Tab : form::Key::Backtab}) &&
                !view_.placed.keepsFocus) {
                const std::vector<const form::ControlSpec *> order = form::tabOrder();
                const bool outside = view_.focus == form::Role::None;
                view_.focus = !outside                ? form::Role::None
                              : key.kind == Kind::Tab ? order.front()->role
                                                      : order.back()->role;
            }
            break;
        case Kind::Enter:
            model_->pressKey({form::Key::Enter});
            break;
        case Kind::Space:
            model_->pressKey({form::Key::Space});
            break;
        case Kind::Escape:
            model_->pressKey({form::Key::Escape});
            break;
        case Kind::Alt:
        case Kind::Letter:
            model_->pressKey({form::Key::Letter, key.letter, key.kind == Kind::Alt});
            break;
        }
    }
    void changeScheme(form::Rgb text) override
    {
        scheme_.text = text;
        model_->schemeChanged(scheme_);
    }
    void changeButtonColours(form::Rgb text, form::Rgb face) override
    {
        scheme_.buttonText = text;
        scheme_.buttonFace = face;
        model_->schemeChanged(scheme_);
    }
    void failElsewhere(std::exception_ptr error) override { model_->reportError(error); }

    std::u16string answer() override
    {
        return view_.captions[form::controlWithRole(form::Role::Answer).name];
    }
    form::Role focus() override { return view_.focus; }
    form::Rgb ink(const char *name) override { return view_.inks.at(name); }
    // A toolkit places and paints each row as the table says.
    std::vector<conformance::Placed> placed() override
    {
        const form::PixelRect client = form::pixelsFromTwips(form::windowSpec().clientArea);
        std::vector<conformance::Placed> placed{{"Form1", {0, 0, client.width, client.height}}};
        for (const form::ControlSpec &row : form::controlSpecs())
            placed.push_back({row.name, form::pixelBox(row)});
        return placed;
    }
    form::Rgb background(const char *name) override
    {
        const form::ControlSpec *row = form::findControl(name);
        return row ? row->background.value() : form::windowSpec().background;
    }
    // Laid out as a view must, in MS Sans Serif's own advances (a button
    // centres its caption).
    conformance::DrawnCaption caption(const char *name) override
    {
        const form::ControlSpec &row = *form::findControl(name);
        const form::PixelRect box = form::pixelsFromTwips(std::get<form::TwipsRect>(row.geometry));
        const form::ShownCaption shown = form::ShownCaption::fromCaption(view_.captions[name]);
        const bool button = row.kind == form::ControlKind::Button;
        const form::LaidCaption laid =
            form::layCaption(shown, button ? form::Alignment::Centre : row.alignment, box.width,
                             {sansSerif8(shown.text), 13, 12});
        conformance::DrawnCaption drawn;
        for (const form::PlacedLine &line : laid.lines)
            drawn.lines.push_back({shown.text.substr(line.range.start, line.range.inkLength),
                                   box.left + line.x, box.left + line.x + line.width,
                                   box.top + line.y});
        if (laid.underline)
            drawn.underline = {shown.text[laid.underline->index], box.left + laid.underline->x,
                               box.left + laid.underline->x + laid.underline->width};
        return drawn;
    }
    std::vector<std::u16string> announcements() override { return view_.heard; }
    std::vector<std::u16string> errorBoxes() override { return view_.boxes; }
    std::optional<int> status() override { return view_.status; }
    // The model's own objects, as a view that hands them on unchanged has them.
    std::vector<conformance::Accessible> accessibleTree() override
    {
        const form::Reading reading =
            view_.placed.keepsFocus ? form::Reading::ByFocus : form::Reading::InOrder;
        std::vector<conformance::Accessible> tree{read(form::accessibleWindow())};
        for (const form::ControlSpec *row : form::readingOrder())
            tree.push_back(read(form::accessibleObject(*row, view_.captions[row->name], reading)));
        return tree;
    }

private:
    static conformance::Accessible read(const form::AccessibleObject &object)
    {
        const char *words[] = {"window", "push button", "text", "graphic", "separator"};
        return {words[int(object.role)], object.name, object.description, object.value};
    }

    FakeView view_;
    // Black text, and Windows' default buttons.
    form::SchemeColours scheme_{{0, 0, 0}, {0, 0, 0}, form::Rgb{240, 240, 240}};
    std::unique_ptr<form::WindowModel> model_;
};

} // namespace

namespace conformance {
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, WindowConformance, FakeDriver);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, KeptFocusConformance, FakeDriver);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, BrowserFocusConformance, FakeDriver);
} // namespace conformance

TEST(WindowModel, TheSeparatorRuleCountsUtf16Units)
{
    EXPECT_EQ(form::usableDecimalSeparator({u" \u066B "}), u" \u066B "); // three, as Windows allows
    EXPECT_EQ(form::usableDecimalSeparator({std::u16string(40, u'x'), u"\u066B"}), u"\u066B");
    EXPECT_EQ(form::usableDecimalSeparator({u"", u""}), u".");
}

TEST(WindowModel, AccessKeysFoldLatinAndCyrillicCapitals)
{
    EXPECT_EQ(form::foldCase(u'Ы'), u'ы');
    EXPECT_EQ(form::foldCase(u'Ё'), u'ё');
    EXPECT_EQ(form::foldCase(u'Q'), u'q');
    EXPECT_EQ(form::foldCase(u'ы'), u'ы');
    EXPECT_EQ(form::foldCase(u'1'), u'1');
}

TEST(WindowModel, LinesStartByTheirAlignment)
{
    EXPECT_EQ(form::lineOffset(form::Alignment::Left, 100.0, 40.0), 0.0);
    EXPECT_EQ(form::lineOffset(form::Alignment::Centre, 100.0, 41.0), 29.5);
    EXPECT_EQ(form::lineOffset(form::Alignment::Right, 100.0, 40.0), 60.0);
    // Whole twips round as the Windows layout always did: toward zero.
    EXPECT_EQ(form::lineOffset(form::Alignment::Centre, 4455, 4000), 227);
    EXPECT_EQ(form::lineOffset(form::Alignment::Centre, 4455, 4600), -72);
}

// A browser whose button face is transparent tells no face: its text stays.
TEST(WindowModel, AButtonOnAFaceNotKnownKeepsTheSystemsText)
{
    const form::ControlSpec &button = form::controlWithRole(form::Role::Calculate);
    EXPECT_EQ(form::inkOf(button, {{0, 0, 0}, {255, 255, 255}}), (form::Rgb{255, 255, 255}));
    EXPECT_EQ(form::inkOf(button, {{0, 0, 0}, {255, 255, 255}, form::Rgb{255, 255, 255}}),
              (form::Rgb{0, 0, 0}));
}

TEST(WindowModel, TheFactorialIsTheWindowsOwn)
{
    FakeView view;
    const form::WindowModel model(view, calc::sumSeries);
    EXPECT_EQ(model.f(8).toDouble(), 40320.0);
    EXPECT_THROW(model.f(171), calc::RuntimeError);
}

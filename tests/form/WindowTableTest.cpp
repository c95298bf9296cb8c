// What the table decides for every front end: which controls the handlers
// act on, where the focus goes, which letter clicks which button.
#include "WindowTable.h"

#include "AccessibleObject.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {

std::string name(const form::ControlSpec *row)
{
    return row ? row->name : "none";
}

// Cyrillic and Latin capitals, as a front end's case mapping gives them.
char16_t upper(char16_t letter)
{
    if ((letter >= u'а' && letter <= u'я') || (letter >= u'a' && letter <= u'z'))
        return static_cast<char16_t>(letter - 0x20);
    return letter;
}

char16_t unchanged(char16_t letter)
{
    return letter;
}

} // namespace

TEST(WindowTable, EachRoleHasItsOneRow)
{
    std::multiset<form::Role> roles;
    for (const form::ControlSpec &row : form::controlSpecs())
        roles.insert(row.role);
    for (const form::Role role : {form::Role::Calculate, form::Role::Exit, form::Role::Answer})
        EXPECT_EQ(roles.count(role), 1U);
    EXPECT_EQ(std::string(form::controlWithRole(form::Role::Calculate).name), "Command1");
    EXPECT_EQ(std::string(form::controlWithRole(form::Role::Exit).name), "Command2");
    EXPECT_EQ(std::string(form::controlWithRole(form::Role::Answer).name), "Label4");
}

// The labels hold tab indexes too but never take the focus;
// the buttons follow their indexes, not their places in the table.
TEST(WindowTable, TabOrderIsTheButtonsByTabIndex)
{
    const auto order = form::tabOrder();
    ASSERT_EQ(order.size(), 2U);
    EXPECT_EQ(name(order[0]), "Command1");
    EXPECT_EQ(name(order[1]), "Command2");
    EXPECT_EQ(name(&form::defaultButton()), "Command1");
    EXPECT_FALSE(form::takesFocus(*form::findControl("Label1")));
    EXPECT_FALSE(form::takesFocus(*form::findControl("Image1")));
}

TEST(WindowTable, AnAccessKeyFindsItsButtonInEitherCase)
{
    EXPECT_EQ(name(form::buttonWithAccessKey(u'ы', upper)), "Command2");
    EXPECT_EQ(name(form::buttonWithAccessKey(u'Ы', upper)), "Command2");
    EXPECT_EQ(name(form::buttonWithAccessKey(u'в', upper)), "Command1");
    EXPECT_EQ(name(form::buttonWithAccessKey(u'в', unchanged)), "none");
    // The labels' underlined letters point at the buttons; "О" is no key.
    EXPECT_EQ(name(form::buttonWithAccessKey(u'о', upper)), "none");
}

TEST(WindowTable, ALineCoversBothEndsAndOnePixelAt96Dpi)
{
    const form::TwipsLine across{6120, 0, 0, 0}; // drawn right to left
    EXPECT_EQ(form::pixelsCovering(across), (form::PixelRect{0, 0, 409, 1}));
    EXPECT_EQ(form::pixelsCovering(across, 144), (form::PixelRect{0, 0, 613, 1}));
    EXPECT_EQ(form::pixelsCovering(across, 192), (form::PixelRect{0, 0, 818, 2}));
    EXPECT_EQ(form::pixelsCovering({0, 2760, 0, 0}, 96), (form::PixelRect{0, 0, 1, 185}));
}

// A screen reader reads the task, its formula, then each instruction before
// the button it names; each button is described by its instruction as shown.
TEST(WindowTable, ReadingOrderAndDescriptionsForAssistiveTechnology)
{
    std::string order;
    for (const form::ControlSpec *row : form::readingOrder())
        order += name(row) + " ";
    EXPECT_EQ(order, "Label1 Image1 Label2 Command1 Label4 Label3 Command2 ");
    EXPECT_EQ(form::accessibleDescription(form::controlWithRole(form::Role::Exit)),
              u"Для завершения работы программы нажмите кнопку \"Выход\".");
    EXPECT_EQ(form::accessibleDescription(*form::findControl("Label4")), u"");
    // Read in order, each instruction is heard just before its button: once.
    for (const form::ControlSpec *row : form::readingOrder())
        EXPECT_EQ(form::accessibleDescription(*row, form::Reading::InOrder), u"") << name(row);
}

// The relations a reader is given, each by role, never by a name looked up:
// each instruction describes its button, Calculate changes the answer. Read
// in order, an instruction heard just before its button describes nothing.
TEST(WindowTable, RelationsForAssistiveTechnology)
{
    const form::ControlSpec &calculate = form::controlWithRole(form::Role::Calculate);
    const form::ControlSpec &exit = form::controlWithRole(form::Role::Exit);
    const form::ControlSpec &answer = form::controlWithRole(form::Role::Answer);
    const auto object = [](const form::ControlSpec &row, form::Reading reading) {
        return form::accessibleObject(row, row.caption, reading);
    };
    using enum form::Reading;
    EXPECT_EQ(name(object(calculate, ByFocus).describedBy), "Label2");
    EXPECT_EQ(name(object(exit, ByFocus).describedBy), "Label3");
    EXPECT_EQ(name(object(*form::findControl("Label2"), ByFocus).describes), "Command1");
    EXPECT_EQ(name(object(*form::findControl("Label3"), ByFocus).describes), "Command2");
    EXPECT_EQ(name(object(calculate, ByFocus).controls), "Label4");
    EXPECT_EQ(name(object(answer, ByFocus).controlledBy), "Command1");
    EXPECT_EQ(name(object(exit, ByFocus).controls), "none");
    EXPECT_EQ(name(object(*form::findControl("Label1"), ByFocus).describes), "none");
    for (const form::ControlSpec &row : form::controlSpecs()) {
        EXPECT_EQ(name(object(row, InOrder).describedBy), "none") << row.name;
        EXPECT_EQ(name(object(row, InOrder).describes), "none") << row.name;
    }
    EXPECT_EQ(name(object(answer, InOrder).controlledBy), "Command1");
}

// What Qt's accessible interfaces give beyond the conformance suite's tree
// (roles, names, descriptions and values in reading order, there): the
// labels' text interface, the buttons' press action, the relations, the
// tree's own consistency and the announcement's notification.
#include "Accessibility.h"

#include "Controls.h"
#include "Form1.h"
#include "QtPrinters.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

QAccessibleInterface *accessible(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget);
}

form::DecimalSeparators comma()
{
    return {u","};
}

} // namespace

// The text interface reads what the name says, not the screen's spaces, and
// finds each character where it is drawn.
TEST(Accessibility, LabelsAreReadableAsTheTextTheirNameSays)
{
    Form1 form(calc::sumSeries, comma);
    for (const char *name : {"Label1", "Label2", "Label3", "Label4"}) {
        SCOPED_TRACE(name);
        QAccessibleInterface *interface = accessible(form.control(name));
        ASSERT_NE(interface, nullptr);
        QAccessibleTextInterface *text = interface->textInterface();
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text(0, text->characterCount()), interface->text(QAccessible::Name));
        EXPECT_FALSE(text->characterRect(text->characterCount() - 1).isEmpty());
    }
    button(form, form::Role::Calculate)->click();
    QAccessibleTextInterface *answer = accessible(answerLabel(form))->textInterface();
    EXPECT_EQ(answer->text(0, answer->characterCount()), QStringLiteral("00,01384 17"));
    // Neither the picture nor a button offers text to review.
    EXPECT_EQ(accessible(form.control("Image1"))->textInterface(), nullptr);
    EXPECT_EQ(accessible(button(form, form::Role::Exit))->textInterface(), nullptr);
}

// A reader presses a button through its action, as Qt's own buttons offer
// it, with the access key as its binding.
TEST(Accessibility, ButtonsArePressedThroughTheirAction)
{
    Form1 form;
    QAccessibleActionInterface *action =
        accessible(button(form, form::Role::Calculate))->actionInterface();
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
    EXPECT_EQ(action->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
              QStringList(QStringLiteral("Alt+В")));
    QSignalSpy clicked(button(form, form::Role::Calculate), &QPushButton::clicked);
    action->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(clicked.wait(2000));
    EXPECT_FALSE(accessible(answerLabel(form))
                     ->actionInterface()
                     ->actionNames()
                     .contains(QAccessibleActionInterface::pressAction()));
}

// The frame lines are separators, none of them read.
TEST(Accessibility, TheLinesAreSeparatorsOutsideTheReadingOrder)
{
    Form1 form;
    QAccessibleInterface *window = accessible(&form);
    for (const char *name : {"Line1", "Line2", "Line3", "Line4", "Line5", "Line6"}) {
        SCOPED_TRACE(name);
        QAccessibleInterface *line = accessible(form.control(name));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->role(), QAccessible::Separator);
        EXPECT_EQ(window->indexOfChild(line), -1);
    }
}

// Each child found by its index is the one at that index, with the window as
// its parent; the drawing order is untouched by the reading order.
TEST(Accessibility, TheWindowsChildrenAgreeWithTheirIndexes)
{
    Form1 form;
    QAccessibleInterface *window = accessible(&form);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->childCount(), 7);
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface *child = window->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(window->indexOfChild(child), i);
        EXPECT_EQ(child->parent()->object(), &form);
    }
    EXPECT_EQ(form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size(), 13);
}

// A reader presenting the dialog reads its loose labels: the instructions
// and the answer are tied to their buttons, so the task is read alone.
// Calculate controls the answer.
TEST(Accessibility, OnlyTheTaskStatementIsLooseText)
{
    Form1 form;
    const auto related = [&](const char *name) {
        QStringList found;
        for (const auto &[other, relation] : accessible(form.control(name))->relations())
            found.append(other->object()->objectName() + u':' + QString::number(relation));
        return found.join(u' ');
    };
    EXPECT_EQ(related("Label1"), QString());
    EXPECT_EQ(related("Label2"), QStringLiteral("Command1:%1").arg(QAccessible::Labelled));
    EXPECT_EQ(related("Label3"), QStringLiteral("Command2:%1").arg(QAccessible::Labelled));
    EXPECT_EQ(related("Label4"), QStringLiteral("Command1:%1").arg(QAccessible::Controller));
    EXPECT_EQ(related("Command1"), QStringLiteral("Label4:%1").arg(QAccessible::Controlled));
    EXPECT_EQ(related("Command2"), QString());
}

// What each Calculate announces is the conformance suite's; here, that the
// announcement reaches assistive technology as the application's own
// notification, not as part of the window's reading.
TEST(Accessibility, TheAnswerIsAnnouncedAsANotification)
{
    Form1 form(calc::sumSeries, comma);
    AccessibleNotice *notice = form.findChild<AccessibleNotice *>();
    ASSERT_NE(notice, nullptr);
    button(form, form::Role::Calculate)->click();
    EXPECT_EQ(notice->text(), QStringLiteral("00,01384 17"));

    QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(notice);
    ASSERT_NE(interface, nullptr);
    EXPECT_EQ(interface->role(), QAccessible::Notification);
    EXPECT_FALSE(interface->state().invisible);
    EXPECT_EQ(interface->parent()->role(), QAccessible::Application);
    EXPECT_EQ(accessible(&form)->indexOfChild(interface), -1);
}

#include "Accessibility.h"

#include "AccessibleText.h"
#include "CaptionLayout.h"
#include "Controls.h"
#include "Form1.h"
#include "QtPrinters.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

QAccessibleInterface *accessible(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget);
}

QString shown(const QString &caption)
{
    return QString::fromStdU16String(
        form::ShownCaption::fromCaption(caption.toStdU16String()).text);
}

// What a reader gets of a caption: as shown, single-spaced.
QString readerText(const QString &caption)
{
    return QString::fromStdU16String(form::accessibleText(shown(caption).toStdU16String()));
}

} // namespace

TEST(Accessibility, ButtonsAreNamedByTheirCaptionWithoutTheMarker)
{
    Form1 form;
    ASSERT_NE(accessible(button(form, form::Role::Calculate)), nullptr);
    EXPECT_EQ(accessible(button(form, form::Role::Calculate))->role(), QAccessible::PushButton);
    EXPECT_EQ(accessible(button(form, form::Role::Calculate))->text(QAccessible::Name),
              QStringLiteral("Вычислить"));
    EXPECT_EQ(accessible(button(form, form::Role::Exit))->role(), QAccessible::PushButton);
    EXPECT_EQ(accessible(button(form, form::Role::Exit))->text(QAccessible::Name),
              QStringLiteral("Выход"));
}

TEST(Accessibility, LabelsAreNamedByTheTextTheyShow)
{
    Form1 form;
    for (const char *name : {"Label1", "Label2", "Label3", "Label4"}) {
        SCOPED_TRACE(name);
        auto *label = qobject_cast<QLabel *>(form.control(name));
        QAccessibleInterface *interface = accessible(label);
        ASSERT_NE(interface, nullptr);
        EXPECT_EQ(interface->role(), QAccessible::StaticText);
        const QString spoken = interface->text(QAccessible::Name);
        EXPECT_EQ(spoken, readerText(label->text()));
        EXPECT_FALSE(spoken.contains(u'&'));
        // The text interface reads what the name says, not the screen's spaces.
        QAccessibleTextInterface *text = interface->textInterface();
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text(0, text->characterCount()), spoken);
        EXPECT_FALSE(text->characterRect(text->characterCount() - 1).isEmpty());
    }
    // The answer's name follows its caption, single-spaced.
    button(form, form::Role::Calculate)->click();
    const QString answer = accessible(answerLabel(form))->text(QAccessible::Name);
    EXPECT_TRUE(answer.endsWith(QStringLiteral("1384 17"))) << answer.toStdString();
}

TEST(Accessibility, PictureAndLinesDescribeThemselves)
{
    Form1 form;
    QAccessibleInterface *picture = accessible(form.control("Image1"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->role(), QAccessible::Graphic);
    // Named once, with its limits; no description repeats it.
    EXPECT_TRUE(picture->text(QAccessible::Name).contains(QStringLiteral("от 1 до бесконечности")));
    EXPECT_TRUE(picture->text(QAccessible::Description).isEmpty());

    for (const char *name : {"Line1", "Line2", "Line3", "Line4", "Line5", "Line6"}) {
        SCOPED_TRACE(name);
        QAccessibleInterface *line = accessible(form.control(name));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->role(), QAccessible::Separator);
        EXPECT_FALSE(line->text(QAccessible::Name).isEmpty());
    }
}

TEST(Accessibility, TheWindowIsADialogReadInOrderWithoutTheLines)
{
    Form1 form;
    QAccessibleInterface *window = accessible(&form);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Dialog);
    EXPECT_EQ(window->text(QAccessible::Name), QStringLiteral("Velto"));
    QStringList order;
    for (int i = 0; i < window->childCount(); ++i) {
        QAccessibleInterface *child = window->child(i);
        ASSERT_NE(child, nullptr);
        order.append(child->object()->objectName());
        EXPECT_EQ(window->indexOfChild(child), i);
        EXPECT_EQ(child->parent()->object(), &form);
    }
    EXPECT_EQ(order.join(u' '),
              QStringLiteral("Label1 Image1 Label2 Command1 Label4 Label3 Command2"));
    // The drawing order is untouched: the children still stack as the table says.
    EXPECT_EQ(form.findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size(), 13);
}

// A reader presenting the dialog reads its loose labels: the instructions
// and the answer are tied to their buttons, so the task is read alone.
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
}

// What each Calculate announces is the conformance suite's; here, that the
// announcement reaches assistive technology as the application's own
// notification, not as part of the window's reading.
TEST(Accessibility, TheAnswerIsAnnouncedAsANotification)
{
    Form1 form;
    AccessibleNotice *notice = form.findChild<AccessibleNotice *>();
    ASSERT_NE(notice, nullptr);
    button(form, form::Role::Calculate)->click();
    EXPECT_EQ(notice->text(), readerText(answerLabel(form)->text()));

    QAccessibleInterface *interface = QAccessible::queryAccessibleInterface(notice);
    ASSERT_NE(interface, nullptr);
    EXPECT_EQ(interface->role(), QAccessible::Notification);
    EXPECT_FALSE(interface->state().invisible);
    EXPECT_EQ(interface->parent()->role(), QAccessible::Application);
    EXPECT_EQ(accessible(&form)->indexOfChild(interface), -1);
}

TEST(Accessibility, EachButtonIsDescribedByItsInstruction)
{
    Form1 form;
    EXPECT_EQ(accessible(button(form, form::Role::Calculate))->text(QAccessible::Description),
              readerText(qobject_cast<QLabel *>(form.control("Label2"))->text()));
    EXPECT_EQ(accessible(button(form, form::Role::Exit))->text(QAccessible::Description),
              QStringLiteral("Для завершения работы программы нажмите кнопку \"Выход\"."));
}

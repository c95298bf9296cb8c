#include "AccessibleText.h"
#include "CaptionLayout.h"
#include "Form1.h"
#include "QtPrinters.h"

#include <QAccessible>
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
    ASSERT_NE(accessible(form.command1()), nullptr);
    EXPECT_EQ(accessible(form.command1())->role(), QAccessible::PushButton);
    EXPECT_EQ(accessible(form.command1())->text(QAccessible::Name), QStringLiteral("Вычислить"));
    EXPECT_EQ(accessible(form.command2())->role(), QAccessible::PushButton);
    EXPECT_EQ(accessible(form.command2())->text(QAccessible::Name), QStringLiteral("Выход"));
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
        EXPECT_EQ(spoken, shown(label->text()));
        EXPECT_FALSE(spoken.contains(u'&'));
    }
    // The answer's name follows its caption.
    form.command1()->click();
    EXPECT_TRUE(
        accessible(form.label4())->text(QAccessible::Name).endsWith(QStringLiteral("   17")));
}

TEST(Accessibility, PictureAndLinesDescribeThemselves)
{
    Form1 form;
    QAccessibleInterface *picture = accessible(form.control("Image1"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->role(), QAccessible::Graphic);
    EXPECT_TRUE(picture->text(QAccessible::Name).contains(QStringLiteral("K факториал")));
    EXPECT_TRUE(picture->text(QAccessible::Description).contains(QStringLiteral("K! / (4 + K)!")));

    for (const char *name : {"Line1", "Line2", "Line3", "Line4", "Line5", "Line6"}) {
        SCOPED_TRACE(name);
        QAccessibleInterface *line = accessible(form.control(name));
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->role(), QAccessible::Separator);
        EXPECT_FALSE(line->text(QAccessible::Name).isEmpty());
    }
}

TEST(Accessibility, TheWindowIsAFrameReadInOrderWithoutTheLines)
{
    Form1 form;
    QAccessibleInterface *window = accessible(&form);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
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
    EXPECT_EQ(form.children().size(), 13);
}

TEST(Accessibility, EachButtonIsDescribedByItsInstruction)
{
    Form1 form;
    EXPECT_EQ(accessible(form.command1())->text(QAccessible::Description),
              readerText(qobject_cast<QLabel *>(form.control("Label2"))->text()));
    EXPECT_EQ(accessible(form.command2())->text(QAccessible::Description),
              QStringLiteral("Для завершения работы программы нажмите кнопку \"Выход\"."));
}

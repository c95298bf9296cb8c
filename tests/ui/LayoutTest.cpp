#include "CaptionLabel.h"
#include "Controls.h"
#include "Form1.h"
#include "QtPrinters.h"
#include "WindowTable.h"

#include <QFontInfo>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

CaptionLabel *label(const Form1 &form, const char *name)
{
    return qobject_cast<CaptionLabel *>(form.control(name));
}

} // namespace

TEST(Captions, NoLabelIsRichText)
{
    const Form1 form;
    for (QLabel *label : form.findChildren<QLabel *>())
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
}

// The shared breaking rule over this front end's measuring.
TEST(CaptionLayout, KeepsEveryRunOfSpacesAndHangsTheOnesPastTheEnd)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(12);
    const QString text = QStringLiteral("ab") + QString(30, u' ') + QStringLiteral("cd ef");
    const TextAdvances advances(text, font);
    const qreal space = advances.width(2, 3);
    const qreal width = advances.width(0, 2) + 10.5 * space;
    const auto measure = [&](std::size_t from, std::size_t to) {
        return advances.width(qsizetype(from), qsizetype(to));
    };
    const std::vector<form::CaptionLine> lines =
        form::breakLines(text.toStdU16String(), measure, width);

    // The whole run stays on the first line, past its end; the words follow.
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], (form::CaptionLine{0, 32, 2}));
    EXPECT_EQ(text.mid(qsizetype(lines[1].start)), QStringLiteral("cd ef"));
    EXPECT_LE(measure(lines[1].start, lines[1].inkEnd()), width);
}

// Every glyph of every label is visible: inside its label and, for the task
// statement, clear of the formula picture that stands in front of it.
TEST(Legibility, EveryGlyphOfEveryLabelIsVisible)
{
    Form1 form;
    button(form, form::Role::Calculate)
        ->click(); // the answer text must fit as well as the initial one
    const QRect picture = form.control("Image1")->geometry();
    ASSERT_EQ(picture, QRect(280, 0, 77, 45));

    for (const char *name : {"Label1", "Label2", "Label3", "Label4"}) {
        SCOPED_TRACE(name);
        const CaptionLabel *caption = label(form, name);
        ASSERT_NE(caption, nullptr);
        const CaptionLabel::Layout &layout = caption->captionLayout();
        ASSERT_FALSE(layout.lines.empty());
        EXPECT_LE(caption->lineRect(qsizetype(layout.lines.size()) - 1).bottom(), caption->height())
            << "last line cut off";
        for (std::size_t i = 0; i < layout.lines.size(); ++i) {
            const form::CaptionLine &line = layout.lines[i];
            for (std::size_t c = 0; c < line.inkLength; ++c) {
                const QChar character = layout.text.at(qsizetype(line.start + c));
                if (character == u' ')
                    continue;
                SCOPED_TRACE(QStringLiteral("line %1, \"%2\" at %3")
                                 .arg(i)
                                 .arg(character)
                                 .arg(c)
                                 .toStdString());
                const QRectF glyph = caption->glyphRect(qsizetype(i), qsizetype(c));
                EXPECT_LE(glyph.right(), caption->width()) << "cut off at the right";
                EXPECT_GE(glyph.left(), 0.0) << "cut off at the left";
                if (qstrcmp(name, "Label1") == 0) {
                    EXPECT_FALSE(glyph.translated(caption->pos()).intersects(QRectF(picture)))
                        << "hidden behind the picture";
                }
            }
        }
    }
}

TEST(Looks, FontsResolveToInstalledFacesWithCyrillic)
{
    const Form1 form;
    const QFontInfo windowFont(form.font());
    EXPECT_EQ(windowFont.family(), QStringLiteral("Liberation Sans Narrow"));
    EXPECT_NEAR(form.font().pointSizeF(), 8.0, 0.01);

    const QFont answerFont = answerLabel(form)->font();
    EXPECT_EQ(QFontInfo(answerFont).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(answerFont.weight(), QFont::Bold);
    EXPECT_NEAR(answerFont.pointSizeF(), 9.75, 0.01);
    EXPECT_FALSE(answerFont.italic() || answerFont.underline() || answerFont.strikeOut());

    // Every control that sets no font uses the window's.
    EXPECT_EQ(button(form, form::Role::Calculate)->font(), form.font());
    EXPECT_EQ(form.control("Label1")->font(), form.font());
    for (const QFont &font : {form.font(), answerFont})
        EXPECT_TRUE(QFontMetricsF(font).inFont(u'Ы')) << QFontInfo(font).family().toStdString();
}

TEST(Window, TheTitleBarCarriesBothIconSizes)
{
    const Form1 form;
    const QList<QSize> sizes = form.windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
}

TEST(Window, FixedClientAreaAtItsStoredPlace)
{
    const Form1 form;
    EXPECT_EQ(form.geometry(), QRect(199, 179, 409, 185));
    EXPECT_EQ(form.minimumSize(), QSize(409, 185));
    EXPECT_EQ(form.maximumSize(), QSize(409, 185));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
}

// Where Tab goes is the conformance suite's; that no other control can
// take the focus is the toolkit's own.
TEST(Keyboard, OnlyTheTwoButtonsTakeTheFocus)
{
    const Form1 form;
    for (QWidget *child : form.findChildren<QWidget *>()) {
        const bool isButton =
            child == form.control(form::Role::Calculate) || child == form.control(form::Role::Exit);
        EXPECT_EQ(child->focusPolicy() == Qt::NoFocus, !isButton)
            << child->objectName().toStdString();
    }
}

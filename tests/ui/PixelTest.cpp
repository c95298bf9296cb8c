// The window as drawn: Form1::grab() sampled at logical pixels. Run by CTest
// at scale factor 1 and again with QT_SCALE_FACTOR=2 (VELTO_TEST_SCALE=2),
// where every logical pixel must be a 2 x 2 block of the same colour.
#include "Assets.h"
#include "CaptionLabel.h"
#include "Controls.h"
#include "Form1.h"
#include "QtPrinters.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kYellow(255, 255, 0);
const QColor kMagenta(255, 0, 255);
const QColor kWhite(255, 255, 255);

int expectedScale()
{
    const QByteArray scale = qgetenv("VELTO_TEST_SCALE");
    return scale.isEmpty() ? 1 : scale.toInt();
}

class Grab
{
public:
    explicit Grab(QWidget &widget) : image_(widget.grab().toImage()) {}

    int scale() const { return qRound(image_.devicePixelRatio()); }
    QSize deviceSize() const { return image_.size(); }

    // The colour of a logical pixel; invalid if its device pixels differ.
    QColor at(int x, int y) const
    {
        const int s = scale();
        const QColor first = image_.pixelColor(x * s, y * s);
        for (int dy = 0; dy < s; ++dy) {
            for (int dx = 0; dx < s; ++dx) {
                if (image_.pixelColor(x * s + dx, y * s + dy) != first)
                    return {};
            }
        }
        return first;
    }

    // The bounding box, in logical pixels, of the pixels in `area` that are
    // bright on a black background.
    QRect brightBox(const QRect &area) const
    {
        QRect box;
        const int s = scale();
        for (int y = area.top() * s; y < (area.bottom() + 1) * s; ++y) {
            for (int x = area.left() * s; x < (area.right() + 1) * s; ++x) {
                if (image_.pixelColor(x, y).lightness() > 128)
                    box |= QRect(x / s, y / s, 1, 1);
            }
        }
        return box;
    }

private:
    QImage image_;
};

struct Probe
{
    int x;
    int y;
    QColor colour;
    const char *what;
};

void expectProbes(const Grab &grab, std::initializer_list<Probe> probes)
{
    for (const Probe &probe : probes)
        EXPECT_EQ(grab.at(probe.x, probe.y), probe.colour)
            << probe.what << " at (" << probe.x << ", " << probe.y << ")";
}

} // namespace

TEST(Pixels, ClientAreaSizeAtTheScreensScale)
{
    Form1 form;
    const Grab grab(form);
    ASSERT_EQ(grab.scale(), expectedScale());
    EXPECT_EQ(grab.deviceSize(), QSize(409, 185) * expectedScale());
    EXPECT_EQ(form.size(), QSize(409, 185));
}

TEST(Pixels, SixFrameLinesOnTheirExactRowsAndColumns)
{
    Form1 form;
    const Grab grab(form);
    for (int x : {0, 4, 150, 279, 357, 407, 408}) {
        SCOPED_TRACE(x);
        expectProbes(grab, {
                               {x, 0, kBlack, "Line1, top edge"},
                               {x, 88, kBlack, "Line2, top/middle divider"},
                               {x, 136, kBlack, "Line3, middle/bottom divider"},
                               {x, 184, kBlack, "Line4, bottom edge"},
                           });
    }
    for (int y : {0, 1, 50, 100, 136, 183, 184}) {
        SCOPED_TRACE(y);
        expectProbes(grab, {
                               {0, y, kBlack, "Line5, left edge"},
                               {408, y, kBlack, "Line6, right edge"},
                           });
    }
    // The lines are one pixel wide.
    expectProbes(grab, {
                           {1, 50, kBlue, "beside Line5"},
                           {407, 50, kBlue, "beside Line6"},
                           {404, 1, kBlue, "below Line1"},
                           {404, 87, kBlue, "above Line2"},
                           {404, 89, kBlue, "below Line2"},
                           {350, 135, kBlue, "above Line3"},
                           {350, 137, kBlue, "below Line3"},
                           {404, 183, kBlue, "above Line4"},
                       });
}

TEST(Pixels, DrawingOrderOverlaps)
{
    Form1 form;
    const Grab grab(form);
    expectProbes(grab, {
                           // Line2 is drawn over the top row of Label2 (and the last of Label1).
                           {150, 88, kBlack, "Line2 over Label2"},
                           // Label2's last row is Label4's first: Label2 is in front.
                           {20, 120, kMagenta, "Label2 over Label4"},
                           {290, 120, kMagenta, "Label2 over Label4"},
                           // Line3 runs on Label4's last row, and past its end.
                           {20, 136, kBlack, "Line3 over Label4"},
                           {306, 136, kBlack, "Line3 beside Label4"},
                       });
    // The buttons are in front of everything.
    EXPECT_NE(grab.at(356, 112), kBlue);
    EXPECT_NE(grab.at(356, 160), kBlue);
}

TEST(Pixels, ThePictureStandsUnscaledInFrontOfTheTaskAndTheTopLine)
{
    Form1 form;
    const Grab grab(form);
    const QImage picture = formulaPicture();
    ASSERT_EQ(picture.size(), QSize(77, 45));
    int mismatches = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (grab.at(280 + x, y) != picture.pixelColor(x, y))
                ++mismatches;
        }
    }
    EXPECT_EQ(mismatches, 0);
    // Where the picture is white, neither Line1 nor Label1's yellow shows.
    EXPECT_EQ(grab.at(300, 0), kWhite);
    EXPECT_EQ(grab.at(340, 30), kWhite);
    // Just outside it they do.
    EXPECT_EQ(grab.at(357, 0), kBlack);
    EXPECT_EQ(grab.at(357, 30), kYellow);
    EXPECT_EQ(grab.at(300, 45), kYellow);
}

TEST(Pixels, AnswerIsWhiteOnBlackAndCentred)
{
    Form1 form;
    const QRect band(8, 121, 297, 15); // Label4 below the row Label2 covers
    const QRect before = Grab(form).brightBox(band);
    button(form, form::Role::Calculate)->click();
    const Grab after(form);
    const QRect text = after.brightBox(band);

    ASSERT_FALSE(text.isEmpty());
    EXPECT_NE(text, before);
    EXPECT_NEAR(text.center().x(), band.center().x(), 3);
    EXPECT_GT(text.width(), 60);
    EXPECT_LT(text.width(), 200);
    // The rest of the band stays black.
    EXPECT_EQ(after.at(band.left() + 2, band.center().y()), kBlack);
    EXPECT_EQ(after.at(band.right() - 2, band.center().y()), kBlack);
}

// A character the answer's face lacks (the Arabic decimal separator a locale
// may give) is drawn from a face that has it, and not as that face's
// missing-glyph box; the digits keep the answer's face. The label is
// compared, pixel for pixel, with its characters drawn one by one, each in
// the face meant for it, where the label places them.
TEST(Pixels, ACharacterTheAnswersFaceLacksComesFromAFaceThatHasIt)
{
    Form1 form;
    auto *answer = qobject_cast<CaptionLabel *>(answerLabel(form));
    ASSERT_NE(answer, nullptr);
    constexpr qsizetype kSeparator = 2;
    answer->setText(QStringLiteral("00\u066B01384   17"));
    const QImage drawn = answer->grab().toImage();

    QFont answersFace = answer->font();
    answersFace.setStyleStrategy(QFont::NoFontMerging);
    QFont faceWithTheSeparator = answersFace;
    faceWithTheSeparator.setFamilies({QStringLiteral("DejaVu Sans")});
    const QChar separator = answer->text().at(kSeparator);
    ASSERT_FALSE(QFontMetricsF(answersFace).inFont(separator))
        << "the test needs a face without it";
    ASSERT_TRUE(QFontMetricsF(faceWithTheSeparator).inFont(separator));

    QImage expected(drawn.size(), drawn.format());
    expected.setDevicePixelRatio(drawn.devicePixelRatio());
    expected.fill(kBlack);
    QPainter painter(&expected);
    painter.setPen(kWhite);
    const qreal baseline = QFontMetricsF(answer->font()).ascent();
    for (qsizetype column = 0; column < answer->text().size(); ++column) {
        painter.setFont(column == kSeparator ? faceWithTheSeparator : answersFace);
        const QRectF cell = answer->glyphRect(0, column);
        painter.drawText(QPointF(cell.left(), cell.top() + baseline),
                         answer->text().mid(column, 1));
    }
    painter.end();

    // Equal at scale 1; at scale 2 the edges' shading differs by up to a
    // third where a glyph falls between device pixels. A box, or a glyph
    // from another face, differs by far more.
    int differing = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x)
            differing += std::abs(qGray(drawn.pixel(x, y)) - qGray(expected.pixel(x, y))) > 96;
    }
    EXPECT_EQ(differing, 0);
}

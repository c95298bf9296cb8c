#include "ColumnLayout.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using form::PixelRect;

const form::ControlSpec &row(const char *name)
{
    const form::ControlSpec *found = form::findControl(name);
    if (!found)
        throw std::invalid_argument(name);
    return *found;
}

// Labels as tall as the table makes them, unless a test asks for more.
int tableHeight(const form::ControlSpec &, int)
{
    return 0;
}

int bottom(const PixelRect &box)
{
    return box.top + box.height;
}

const std::vector<std::string> kReadingOrder{"Label1", "Image1", "Label2",  "Command1",
                                             "Label4", "Label3", "Command2"};

} // namespace

TEST(ColumnLayout, StacksTheReadableControlsInReadingOrderInsideTheColumn)
{
    // 60: narrower than a button, which is cut to the column.
    for (const int width : {320, 200, 60}) {
        const form::ColumnLayout column = form::columnLayout(width, tableHeight);
        ASSERT_EQ(column.boxes.size(), form::controlSpecs().size());
        const int inner = width - 2 * form::kColumnGap;
        int above = 0;
        for (const std::string &name : kReadingOrder) {
            const form::ControlSpec &control = row(name.c_str());
            const PixelRect box = column.box(control);
            const PixelRect own =
                form::pixelsFromTwips(std::get<form::TwipsRect>(control.geometry));
            EXPECT_GE(box.top, above + form::kColumnGap) << name << " at " << width;
            EXPECT_EQ(box.left, form::kColumnGap) << name;
            // Labels fill the column; pictures and buttons keep their size.
            if (control.kind == form::ControlKind::Label)
                EXPECT_EQ(box.width, inner) << name << " at " << width;
            else
                EXPECT_EQ(box.width, std::min(own.width, inner)) << name << " at " << width;
            EXPECT_EQ(box.height, own.height) << name;
            EXPECT_LE(bottom(box), column.height) << name;
            above = bottom(box);
        }
    }
}

TEST(ColumnLayout, LabelsGrowToTheirLinesAtTheColumnsWidth)
{
    std::vector<std::pair<std::string, int>> asked;
    const form::ColumnLayout column =
        form::columnLayout(320, [&](const form::ControlSpec &label, int width) {
            asked.emplace_back(label.name, width);
            return label.name == std::string("Label1") ? 150 : 1;
        });
    EXPECT_EQ(column.box(row("Label1")).height, 150);
    EXPECT_EQ(column.box(row("Label2")).height, 33); // never shorter than in the table
    EXPECT_EQ(asked, (std::vector<std::pair<std::string, int>>{
                         {"Label1", 304}, {"Label2", 304}, {"Label4", 304}, {"Label3", 304}}));
    EXPECT_GT(column.box(row("Image1")).top, bottom(column.box(row("Label1"))));
}

TEST(ColumnLayout, EachBandIsClosedByItsLineAndFramed)
{
    const form::ColumnLayout column = form::columnLayout(320, tableHeight);
    const int height = column.height;
    // The frame around the whole column.
    EXPECT_EQ(column.box(row("Line1")), (PixelRect{0, 0, 320, 1}));
    EXPECT_EQ(column.box(row("Line4")), (PixelRect{0, height - 1, 320, 1}));
    EXPECT_EQ(column.box(row("Line5")), (PixelRect{0, 0, 1, height}));
    EXPECT_EQ(column.box(row("Line6")), (PixelRect{319, 0, 1, height}));
    // The task and its picture above the first line between bands, the
    // Calculate band's three controls between the two, the Exit band below.
    const PixelRect first = column.box(row("Line2"));
    const PixelRect second = column.box(row("Line3"));
    EXPECT_EQ(first.width, 320);
    EXPECT_EQ(first.height, 1);
    EXPECT_LT(bottom(column.box(row("Image1"))), first.top);
    EXPECT_GT(column.box(row("Label2")).top, first.top);
    EXPECT_LT(bottom(column.box(row("Label4"))), second.top);
    EXPECT_GT(column.box(row("Label3")).top, second.top);
    EXPECT_EQ(height, bottom(column.box(row("Command2"))) + form::kColumnGap + 1);
}

TEST(ColumnLayout, TheTextScaleBringsTheSmallestTextToTheMinimum)
{
    // The smallest text is the 8-point labels', 11 px at 96 dpi; no minimum,
    // or one they meet, leaves the window as it is.
    EXPECT_DOUBLE_EQ(form::textScale(24) * 11, 24);
    for (const double none : {0.0, 11.0, -1.0, std::nan("")})
        EXPECT_EQ(form::textScale(none), 1.0) << none;
}

#include "WindowTable.h"

#include "AccessibleText.h"
#include "CaptionLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace form {
namespace {

// Builds a caption from its pieces, so that every run of spaces and every
// quotation mark stands out as the count it is.
class Caption
{
public:
    Caption &text(std::u16string_view piece)
    {
        text_ += piece;
        return *this;
    }
    Caption &spaces(std::size_t count)
    {
        text_.append(count, u' ');
        return *this;
    }
    Caption &quote()
    {
        text_ += u'"';
        return *this;
    }
    operator std::u16string() const { return text_; }

private:
    std::u16string text_;
};

std::u16string taskStatement()
{
    return Caption()
        .text(u"Задание:")
        .spaces(3)
        .quote()
        .text(u"Вычислить")
        .spaces(2)
        .text(u"сумму")
        .spaces(2)
        .text(u"бесконечного")
        .spaces(2)
        .text(u"ряда")
        .spaces(45)
        .text(u"с")
        .spaces(2)
        .text(u"точностью")
        .spaces(2)
        .text(u"до 0,00001.")
        .spaces(66)
        .text(u"Суммируются все члены ряда,")
        .spaces(3)
        .text(u"значения которых")
        .spaces(35)
        .text(u"больше")
        .spaces(2)
        .text(u"0,00001. Вычисление факториала")
        .spaces(2)
        .text(u"организовать с помощью подпрограммы-функции. Ввод")
        .spaces(2)
        .text(u"данных")
        .spaces(3)
        .text(u"организовать")
        .spaces(2)
        .text(u"с")
        .spaces(2)
        .text(u"помощью")
        .spaces(2)
        .text(u"функции")
        .spaces(2)
        .text(u"InputBox,")
        .spaces(3)
        .text(u"вывод")
        .spaces(3)
        .text(u"-")
        .spaces(3)
        .text(u"на элемент управления Label")
        .quote()
        .text(u".");
}

std::u16string calculateInstruction()
{
    return Caption()
        .text(u"Для вычисления конечной суммы данного ряла, нажмите кнопку")
        .spaces(1)
        .quote()
        .text(u"&Вычислить")
        .quote()
        .spaces(1)
        .text(u"и Вы получите")
        .spaces(2)
        .quote()
        .spaces(1)
        .text(u"О")
        .spaces(2)
        .text(u"Т")
        .spaces(2)
        .text(u"В")
        .spaces(2)
        .text(u"Е")
        .spaces(2)
        .text(u"Т")
        .spaces(1)
        .quote()
        .spaces(1)
        .text(u".");
}

std::u16string exitInstruction()
{
    return Caption()
        .text(u"Для завершения работы программы нажмите кнопку")
        .spaces(1)
        .quote()
        .text(u"&Выход")
        .quote()
        .text(u".");
}

std::u16string initialAnswer()
{
    return Caption()
        .spaces(1)
        .text(u"О")
        .spaces(4)
        .text(u"Т")
        .spaces(4)
        .text(u"В")
        .spaces(4)
        .text(u"Е")
        .spaces(4)
        .text(u"Т");
}

constexpr Rgb rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return {red, green, blue};
}

} // namespace

const WindowSpec &windowSpec()
{
    static const WindowSpec window{
        .name = "Form1",
        .caption = u"Velto",
        .clientArea = {2985, 2685, 6135, 2775},
        .background = rgb(0, 0, 255),
        // Every caption is Russian: a face without its Cyrillic letters
        // would show none of them.
        .font = {.face = u"MS Sans Serif", .points = 8, .charset = kCyrillicCharset},
    };
    return window;
}

std::span<const ControlSpec> controlSpecs()
{
    const auto line = [](int order, const char *name, TwipsLine ends, std::u16string_view role) {
        return ControlSpec{.order = order,
                           .name = name,
                           .kind = ControlKind::Line,
                           .geometry = ends,
                           .accessibleName = std::u16string(role)};
    };
    // Reading order for a screen reader: the task, its formula, then each
    // instruction before the button it names, the answer after Calculate.
    static const std::array<ControlSpec, 13> rows{{
        {.order = 1,
         .name = "Command2",
         .kind = ControlKind::Button,
         .role = Role::Exit,
         .geometry = TwipsRect{4680, 2160, 1335, 495},
         .tabIndex = 1,
         .caption = u"В&ыход",
         .readingIndex = 6},
        {.order = 2,
         .name = "Command1",
         .kind = ControlKind::Button,
         .role = Role::Calculate,
         .geometry = TwipsRect{4680, 1440, 1335, 495},
         .tabIndex = 0,
         .isDefault = true,
         .caption = u"&Вычислить",
         .controls = Role::Answer,
         .readingIndex = 3},
        {.order = 3,
         .name = "Image1",
         .kind = ControlKind::Image,
         .geometry = TwipsRect{4200, 0, 1155, 675},
         // In words: at a reader's usual punctuation level "!" is not spoken.
         // The picture's upper limit stands for infinity, as the task says.
         .accessibleName = u"Формула: сумма по K от 1 до бесконечности, K факториал, делённое на "
                           u"факториал суммы 4 и K",
         .readingIndex = 1},
        line(4, "Line6", {6120, 0, 6120, 2760}, u"Правый край рамки"),
        line(5, "Line5", {0, 0, 0, 2760}, u"Левый край рамки"),
        line(6, "Line4", {0, 2760, 6120, 2760}, u"Нижний край рамки"),
        line(7, "Line3", {0, 2040, 6120, 2040}, u"Граница средней и нижней полосы"),
        line(8, "Line2", {0, 1320, 6120, 1320}, u"Граница верхней и средней полосы"),
        line(9, "Line1", {0, 0, 6120, 0}, u"Верхний край рамки"),
        {.order = 10,
         .name = "Label2",
         .kind = ControlKind::Label,
         .geometry = TwipsRect{120, 1320, 4455, 495},
         .background = rgb(255, 0, 255),
         .tabIndex = 5,
         .caption = calculateInstruction(),
         .describes = Role::Calculate,
         .readingIndex = 2},
        {.order = 11,
         .name = "Label3",
         .kind = ControlKind::Label,
         .geometry = TwipsRect{120, 2160, 4455, 495},
         .background = rgb(255, 255, 255),
         .tabIndex = 4,
         .caption = exitInstruction(),
         .describes = Role::Exit,
         .readingIndex = 5},
        {.order = 12,
         .name = "Label4",
         .kind = ControlKind::Label,
         .role = Role::Answer,
         .geometry = TwipsRect{120, 1800, 4455, 255},
         .background = rgb(0, 0, 0),
         .foreground = rgb(255, 255, 255),
         .font = FontSpec{.face = u"MS Sans Serif",
                          .points = 9.75,
                          .weight = kBoldWeight,
                          .charset = kCyrillicCharset},
         .alignment = Alignment::Centre,
         .tabIndex = 3,
         .caption = initialAnswer(),
         .readingIndex = 4},
        {.order = 13,
         .name = "Label1",
         .kind = ControlKind::Label,
         .geometry = TwipsRect{120, 120, 5895, 1215},
         .background = rgb(255, 255, 0),
         .tabIndex = 2,
         .caption = taskStatement(),
         .readingIndex = 0},
    }};
    return rows;
}

int emPixels(const FontSpec &font, int dpi) noexcept
{
    return static_cast<int>(std::lround(font.points * dpi / 72.0));
}

PixelRect pixelsCovering(const TwipsLine &line, int dpi) noexcept
{
    const int thickness = std::max(1, pixelsFromTwips(kTwipsPerPixel, dpi));
    const int left = pixelsFromTwips(std::min(line.x1, line.x2), dpi);
    const int top = pixelsFromTwips(std::min(line.y1, line.y2), dpi);
    const int right = pixelsFromTwips(std::max(line.x1, line.x2), dpi);
    const int bottom = pixelsFromTwips(std::max(line.y1, line.y2), dpi);
    return {left, top, right - left + thickness, bottom - top + thickness};
}

PixelRect pixelBox(const ControlSpec &row, int dpi) noexcept
{
    if (const auto *rect = std::get_if<TwipsRect>(&row.geometry))
        return pixelsFromTwips(*rect, dpi);
    return pixelsCovering(std::get<TwipsLine>(row.geometry), dpi);
}

const ControlSpec *findControl(std::string_view name)
{
    const auto rows = controlSpecs();
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [&](const ControlSpec &row) { return row.name == name; });
    return found == rows.end() ? nullptr : &*found;
}

const ControlSpec &controlWithRole(Role role)
{
    const auto rows = controlSpecs();
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [&](const ControlSpec &row) { return row.role == role; });
    // Every role has its row; a table without one is a build of the program
    // that cannot work, not a state to run on in.
    if (role == Role::None || found == rows.end())
        std::abort();
    return *found;
}

const FontSpec &fontOf(const ControlSpec &row) noexcept
{
    return row.font ? *row.font : windowSpec().font;
}

bool takesFocus(const ControlSpec &row) noexcept
{
    return row.kind == ControlKind::Button && row.tabIndex.has_value();
}

std::vector<const ControlSpec *> tabOrder()
{
    std::vector<const ControlSpec *> order;
    for (const ControlSpec &row : controlSpecs()) {
        if (takesFocus(row))
            order.push_back(&row);
    }
    std::sort(order.begin(), order.end(), [](const ControlSpec *a, const ControlSpec *b) {
        return *a->tabIndex < *b->tabIndex;
    });
    return order;
}

const ControlSpec &defaultButton()
{
    const auto rows = controlSpecs();
    const auto found = std::find_if(rows.begin(), rows.end(), [](const ControlSpec &row) {
        return row.isDefault && takesFocus(row);
    });
    // As with a role's row: without one the program cannot work.
    if (found == rows.end())
        std::abort();
    return *found;
}

std::vector<const ControlSpec *> readingOrder()
{
    std::vector<const ControlSpec *> order;
    for (const ControlSpec &row : controlSpecs()) {
        if (row.readingIndex)
            order.push_back(&row);
    }
    std::sort(order.begin(), order.end(), [](const ControlSpec *a, const ControlSpec *b) {
        return *a->readingIndex < *b->readingIndex;
    });
    return order;
}

std::u16string accessibleName(const ControlSpec &row, std::u16string_view caption)
{
    if (!row.accessibleName.empty())
        return accessibleText(row.accessibleName);
    return accessibleText(ShownCaption::fromCaption(caption).text);
}

const ControlSpec *rowRelatedTo(const ControlSpec &row, Role ControlSpec::*relation) noexcept
{
    if (row.role == Role::None)
        return nullptr;
    for (const ControlSpec &other : controlSpecs()) {
        if (other.*relation == row.role)
            return &other;
    }
    return nullptr;
}

std::u16string accessibleDescription(const ControlSpec &row, Reading reading)
{
    if (const ControlSpec *label = rowRelatedTo(row, &ControlSpec::describes)) {
        if (reading == Reading::InOrder && label->readingIndex && row.readingIndex &&
            *label->readingIndex + 1 == *row.readingIndex)
            return {};
        return accessibleText(ShownCaption::fromCaption(label->caption).text);
    }
    return accessibleText(row.accessibleDescription);
}

const ControlSpec *buttonWithAccessKey(char16_t key, char16_t (*fold)(char16_t))
{
    for (const ControlSpec &row : controlSpecs()) {
        if (row.kind != ControlKind::Button)
            continue;
        if (const auto letter = accessKey(row.caption); letter && fold(*letter) == fold(key))
            return &row;
    }
    return nullptr;
}

} // namespace form

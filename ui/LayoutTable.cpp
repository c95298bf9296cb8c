#include "LayoutTable.h"

#include <array>

namespace {

// Builds a caption from its pieces, so that every run of spaces and every
// quotation mark stands out as the count it is.
class Caption
{
public:
    Caption &text(const char16_t *piece)
    {
        text_ += QString::fromUtf16(piece);
        return *this;
    }
    Caption &spaces(int count)
    {
        text_ += QString(count, QLatin1Char(' '));
        return *this;
    }
    Caption &quote()
    {
        text_ += QLatin1Char('"');
        return *this;
    }
    operator QString() const { return text_; }

private:
    QString text_;
};

QString taskStatement()
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

QString calculateInstruction()
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

QString exitInstruction()
{
    return Caption()
        .text(u"Для завершения работы программы нажмите кнопку")
        .spaces(1)
        .quote()
        .text(u"&Выход")
        .quote()
        .text(u".");
}

QString initialAnswer()
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

QColor rgb(int r, int g, int b)
{
    return QColor(r, g, b);
}

} // namespace

const WindowSpec &windowSpec()
{
    // The default face: a narrow sans with Cyrillic at 8 point, set to the
    // width class at which its spaces take the 3 pixels the long runs in the
    // task statement were counted for. Its words then fall clear of the
    // formula picture, and each instruction fits its two lines.
    static const WindowSpec window{
        .name = "Form1",
        .caption = QStringLiteral("Velto"),
        .clientArea = {2985, 2685, 6135, 2775},
        .background = rgb(0, 0, 255),
        .font = {.family = QStringLiteral("Liberation Sans Narrow"), .pointSize = 8, .stretch = 91},
    };
    return window;
}

std::span<const ControlSpec> controlSpecs()
{
    const auto line = [](int order, const char *name, TwipsLine ends, const char16_t *role) {
        return ControlSpec{.order = order,
                           .name = name,
                           .kind = ControlKind::Line,
                           .geometry = ends,
                           .accessibleName = QString::fromUtf16(role)};
    };
    static const std::array<ControlSpec, 13> rows{{
        {.order = 1,
         .name = "Command2",
         .kind = ControlKind::Button,
         .geometry = TwipsRect{4680, 2160, 1335, 495},
         .tabIndex = 1,
         .caption = QStringLiteral("В&ыход")},
        {.order = 2,
         .name = "Command1",
         .kind = ControlKind::Button,
         .geometry = TwipsRect{4680, 1440, 1335, 495},
         .tabIndex = 0,
         .caption = QStringLiteral("&Вычислить")},
        {.order = 3,
         .name = "Image1",
         .kind = ControlKind::Image,
         .geometry = TwipsRect{4200, 0, 1155, 675},
         .accessibleName = QStringLiteral("Формула: сумма K! / (4 + K)!"),
         .accessibleDescription =
             QStringLiteral("Сумма по K от 1 членов K! / (4 + K)!: K факториал, делённое на "
                            "факториал суммы 4 и K")},
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
         .caption = calculateInstruction()},
        {.order = 11,
         .name = "Label3",
         .kind = ControlKind::Label,
         .geometry = TwipsRect{120, 2160, 4455, 495},
         .background = rgb(255, 255, 255),
         .tabIndex = 4,
         .caption = exitInstruction()},
        {.order = 12,
         .name = "Label4",
         .kind = ControlKind::Label,
         .geometry = TwipsRect{120, 1800, 4455, 255},
         .background = rgb(0, 0, 0),
         .foreground = rgb(255, 255, 255),
         .font = FontSpec{.family = QStringLiteral("MS Sans Serif"),
                          .pointSize = 9.75,
                          .weight = QFont::Bold,
                          .charset = 204},
         .alignment = Qt::AlignHCenter,
         .tabIndex = 3,
         .caption = initialAnswer()},
        {.order = 13,
         .name = "Label1",
         .kind = ControlKind::Label,
         .geometry = TwipsRect{120, 120, 5895, 1215},
         .background = rgb(255, 255, 0),
         .tabIndex = 2,
         .caption = taskStatement()},
    }};
    return rows;
}

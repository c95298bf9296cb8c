#include "LayoutTable.h"

#include <array>

const WindowSpec &windowSpec()
{
    static const WindowSpec spec{"Form1", QStringLiteral("Velto"), {2985, 2685, 6135, 2775}};
    return spec;
}

std::span<const ControlSpec> controlSpecs()
{
    static const std::array<ControlSpec, 3> rows{{
        {1, "Command2", ControlKind::Button, {4680, 2160, 1335, 495}, 1, QStringLiteral("В&ыход")},
        {2,
         "Command1",
         ControlKind::Button,
         {4680, 1440, 1335, 495},
         0,
         QStringLiteral("&Вычислить")},
        {12,
         "Label4",
         ControlKind::Label,
         {120, 1800, 4455, 255},
         3,
         QStringLiteral(" О    Т    В    Е    Т")},
    }};
    return rows;
}

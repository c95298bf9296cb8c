#include "FontChoice.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

namespace {

struct StandIn
{
    QStringList families;
    int stretch = QFont::AnyStretch;
};

// "MS Sans Serif" is a bitmap face whose small regular sizes are narrow: at
// 8 point its stand-in is a narrow sans set to the width class at which a
// space takes the 3 pixels the long runs in the task statement were counted
// for, so the words fall clear of the formula picture and each instruction
// fits its two lines. Larger or bold, the face is Arial-wide.
StandIn standInFor(const form::FontSpec &wanted)
{
    const QString face = QString::fromStdU16String(wanted.face);
    if (face != QLatin1String("MS Sans Serif"))
        return {{face}};
    if (wanted.points <= 8.5 && wanted.weight < form::kBoldWeight)
        return {{QStringLiteral("Liberation Sans Narrow"), QStringLiteral("DejaVu Sans Condensed"),
                 QStringLiteral("DejaVu Sans")},
                91};
    return {{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")}};
}

} // namespace

QFont fontFromSpec(const form::FontSpec &wanted)
{
    const StandIn standIn = standInFor(wanted);
    QFont font;
    font.setFamilies(standIn.families);
    // The faces in the lists cover the window's own text (Latin and
    // Cyrillic). A character they lack, such as a locale's decimal separator,
    // is drawn from a face that has it; that search is made only when such a
    // character turns up.
    font.setStyleHint(QFont::SansSerif);
    // Sized for 96 dpi in the window's own pixels, like the boxes: where the
    // toolkit's scaling is off on a high-dpi screen, points alone would grow
    // the text while the window stays at its 96-dpi size.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    font.setPointSizeF(wanted.points * 96.0 / dpi);
    font.setWeight(static_cast<QFont::Weight>(wanted.weight));
    font.setStretch(standIn.stretch);
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    font.setStrikeOut(wanted.strikeOut);
    return font;
}

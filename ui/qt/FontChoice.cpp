#include "FontChoice.h"

#include "FontStandIn.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>

QFont fontFromSpec(const form::FontSpec &wanted)
{
    const form::FontStandIn standIn = form::fontStandIn(wanted);
    QStringList families;
    for (const std::u16string &family : standIn.families)
        families.append(QString::fromStdU16String(family));
    QFont font;
    font.setFamilies(families);
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
    font.setWeight(static_cast<QFont::Weight>(standIn.weight));
    font.setStretch(standIn.stretch.value_or(QFont::AnyStretch));
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    font.setStrikeOut(wanted.strikeOut);
    return font;
}

#include "FontChoice.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

constexpr int kCyrillicCharset = 204;

// Stand-ins for the Windows faces, in order of preference: the same metrics
// where Debian has them, then a face that is everywhere.
QStringList standInsFor(const QString &family)
{
    if (family == QLatin1String("MS Sans Serif"))
        return {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    if (family == QLatin1String("Liberation Sans Narrow"))
        return {QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")};
    return {};
}

bool covers(const QString &family, int charset)
{
    return charset != kCyrillicCharset ||
           QFontDatabase::writingSystems(family).contains(QFontDatabase::Cyrillic);
}

QString installedFamily(const FontSpec &wanted)
{
    if (QFontDatabase::hasFamily(wanted.family) && covers(wanted.family, wanted.charset))
        return wanted.family;
    for (const QString &standIn : standInsFor(wanted.family)) {
        if (QFontDatabase::hasFamily(standIn) && covers(standIn, wanted.charset))
            return standIn;
    }
    return wanted.family; // let the font system pick its nearest match
}

} // namespace

QFont fontFromSpec(const FontSpec &wanted)
{
    QFont font(installedFamily(wanted));
    font.setPointSizeF(wanted.pointSize);
    font.setWeight(wanted.weight);
    font.setStretch(wanted.stretch);
    font.setItalic(wanted.italic);
    font.setUnderline(wanted.underline);
    font.setStrikeOut(wanted.strikeOut);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

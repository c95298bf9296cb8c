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

QString installedFamily(const FontSpec &spec)
{
    if (QFontDatabase::hasFamily(spec.family) && covers(spec.family, spec.charset))
        return spec.family;
    for (const QString &standIn : standInsFor(spec.family)) {
        if (QFontDatabase::hasFamily(standIn) && covers(standIn, spec.charset))
            return standIn;
    }
    return spec.family; // let the font system pick its nearest match
}

} // namespace

QFont fontFromSpec(const FontSpec &spec)
{
    QFont font(installedFamily(spec));
    font.setPointSizeF(spec.pointSize);
    font.setWeight(spec.weight);
    font.setStretch(spec.stretch);
    font.setItalic(spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

// Prints the faces the page must embed, and the characters it may draw in
// each: the first family of each font's stand-in, with its weight, one
// "family<TAB>weight<TAB>characters" line each, the characters as a JSON
// string of escaped UTF-16 code units (so that no encoder is needed here). The page's build
// runs it, so that which faces go in, and which of their glyphs, follow the
// table and its stand-in rule alone.

#include "AnswerText.h"
#include "CaptionLayout.h"
#include "FontStandIn.h"
#include "Page.h"
#include "SeriesSum.h"
#include "WindowTable.h"

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>

namespace {

// What a row can show: its caption, and for the answer every answer the
// page may write (the digits, and the sum in each usual separator; another
// comes from the browser's fonts). Accessible names and the window's
// caption are not drawn in these faces: the title is the browser's, and the
// error box is set in the system's message-box font.
std::u16string shownText(const form::ControlSpec &row)
{
    std::u16string text = form::ShownCaption::fromCaption(row.caption).text;
    if (row.role == form::Role::Answer) {
        text += u"0123456789";
        const calc::SeriesSum sum = calc::sumSeries();
        for (const char16_t separator : web::kUsualDecimalSeparators)
            text += calc::makeAnswerText(sum.s, sum.k, std::u16string_view(&separator, 1));
    }
    return text;
}

} // namespace

int main()
{
    std::map<std::pair<std::u16string, int>, std::set<char16_t>> faces;
    const auto add = [&](const form::FontSpec &font, std::u16string_view text) {
        const form::FontStandIn standIn = form::fontStandIn(font);
        std::set<char16_t> &characters = faces[{standIn.families.at(0), standIn.weight}];
        characters.insert(text.begin(), text.end());
    };
    add(form::windowSpec().font, u"");
    for (const form::ControlSpec &row : form::controlSpecs()) {
        if (row.kind == form::ControlKind::Button || row.kind == form::ControlKind::Label)
            add(form::fontOf(row), shownText(row));
    }
    for (const auto &[face, characters] : faces) {
        std::string name;
        for (const char16_t c : face.first)
            name += c < 0x80 ? static_cast<char>(c) : '?'; // face names are ASCII
        std::printf("%s\t%d\t\"", name.c_str(), face.second);
        for (const char16_t c : characters)
            std::printf("\\u%04x", static_cast<unsigned>(c));
        std::puts("\"");
    }
}

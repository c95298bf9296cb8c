// Prints the faces the page must embed: the first family of each font's
// stand-in, with its weight, one "family<TAB>weight" line each. The page's
// build runs it, so that which faces go in follows the table and its
// stand-in rule alone.

#include "FontStandIn.h"
#include "LayoutTable.h"

#include <cstdio>
#include <set>
#include <string>
#include <utility>

int main()
{
    std::set<std::pair<std::u16string, int>> faces;
    const auto add = [&](const form::FontSpec &font) {
        const form::FontStandIn standIn = form::fontStandIn(font);
        faces.emplace(standIn.families.at(0), standIn.weight);
    };
    add(form::windowSpec().font);
    for (const form::ControlSpec &row : form::controlSpecs()) {
        if (row.font)
            add(*row.font);
    }
    for (const auto &[family, weight] : faces) {
        std::string name;
        for (const char16_t c : family)
            name += c < 0x80 ? static_cast<char>(c) : '?'; // face names are ASCII
        std::printf("%s\t%d\n", name.c_str(), weight);
    }
}

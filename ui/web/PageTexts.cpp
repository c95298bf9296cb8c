// Prints the page's static texts as one JSON object: its title (the
// window's caption), the messages that stand in the window's place where
// the browser cannot show it, and the note left there once it has ended.
// The page's build runs it, so that the page carries the table's texts,
// never copies of them.

#include "PageMessages.h"
#include "WindowTable.h"

#include <cstdio>
#include <iterator>
#include <string_view>
#include <utility>

namespace {

// A JSON string; every code unit outside printable ASCII escaped, so that no
// encoding is needed here.
void printString(std::u16string_view text)
{
    std::putchar('"');
    for (const char16_t c : text) {
        if (c >= 0x20 && c < 0x7F && c != u'"' && c != u'\\')
            std::putchar(static_cast<char>(c));
        else
            std::printf("\\u%04x", static_cast<unsigned>(c));
    }
    std::putchar('"');
}

} // namespace

int main()
{
    const std::pair<const char *, std::u16string_view> texts[] = {
        {"title", form::windowSpec().caption},
        {"noScript", form::kNoScriptMessage},
        {"noWebAssembly", form::kNoWebAssemblyMessage},
        {"notStarted", form::kNotStartedMessage},
        {"noStyles", form::kNoStylesMessage},
        {"ended", form::kEndedMessage},
        {"stopped", form::kStoppedMessage},
    };
    std::putchar('{');
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        std::printf("%s\"%s\": ", i ? ", " : "", texts[i].first);
        printString(texts[i].second);
    }
    std::puts("}");
}

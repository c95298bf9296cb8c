#pragma once

// What the web page shows in the window's place where the browser cannot
// show the window, in the window's language.

#include <string_view>

namespace form {

// Scripts do not run: switched off, or blocked by the site's content policy.
inline constexpr std::u16string_view kNoScriptMessage =
    u"Окно программы не может открыться: JavaScript в этом браузере выключен или заблокирован.";

// The browser has no WebAssembly.
inline constexpr std::u16string_view kNoWebAssemblyMessage =
    u"Окно программы не может открыться: этот браузер не поддерживает WebAssembly.";

// The browser could not compile or start the program's WebAssembly.
inline constexpr std::u16string_view kNotStartedMessage =
    u"Окно программы не может открыться: браузер не смог запустить её модуль WebAssembly.";

// The site's content policy blocks the page's styles, and this browser
// cannot apply them by script either.
inline constexpr std::u16string_view kNoStylesMessage =
    u"Окно программы не может открыться: политика сайта запрещает стили этой страницы.";

// The program has ended (Exit, or an error) where the page stays open: a
// frame, or a tab the browser will not let a script close.
inline constexpr std::u16string_view kEndedMessage =
    u"Программа завершила работу. Чтобы запустить её снова, обновите страницу.";

// The program stopped by a fault of its own after its window opened.
inline constexpr std::u16string_view kStoppedMessage =
    u"Программа остановилась из-за внутренней ошибки. Чтобы запустить её снова, обновите страницу.";

} // namespace form

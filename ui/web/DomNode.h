#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace web {

class Form1;

// An element of the page, held through the page's table of nodes and let go
// of when this is destroyed. The element itself stays in the page until
// remove() takes it out.
class DomNode
{
public:
    // A new element `tag`, appended to `parent`; where that is null, the
    // element is not in the page until show() puts it there.
    DomNode(const char *tag, const DomNode *parent);
    ~DomNode();
    DomNode(DomNode &&other) noexcept;
    DomNode &operator=(DomNode &&other) noexcept;
    DomNode(const DomNode &) = delete;
    DomNode &operator=(const DomNode &) = delete;

    void setAttribute(const char *name, std::u16string_view value);
    void setAttribute(const char *name, std::string_view value);
    void setStyle(const char *property, const std::string &value);
    void appendText(std::u16string_view text);
    // Takes every child out of the element.
    void clear();
    // Appends the element to the page's body.
    void show();
    // Takes the element out of the page.
    void remove();
    void focus();
    bool hasFocus() const;
    void click();
    // Pressing the element with the mouse leaves the focus where it is.
    void keepFocusWhenPressed();
    // `form` gets `event` whenever the element fires `type`.
    void listen(const char *type, Form1 *form, int event);
    // For a <dialog>: shows it modal, the rest of the page inert.
    void showModal();
    // For a <canvas>: its bitmap, `width` x `height` ARGB pixels.
    void putPixels(int width, int height, const std::uint32_t *argb);

private:
    int handle_;
};

} // namespace web

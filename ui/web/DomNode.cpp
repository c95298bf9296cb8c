#include "DomNode.h"

#include "Browser.h"
#include "Script.h"

#include <cstdint>
#include <utility>

extern "C" {
int vantrel_node_create(const char *tag, int parent);
void vantrel_node_release(int node);
void vantrel_node_remove(int node);
void vantrel_node_show(int node);
void vantrel_node_clear(int node);
void vantrel_node_set_attribute(int node, const char *name, const char16_t *value,
                                std::size_t length);
void vantrel_node_set_style(int node, const char *property, const char *value);
void vantrel_node_append_text(int node, const char16_t *text, std::size_t length);
void vantrel_node_focus(int node);
bool vantrel_node_has_focus(int node);
void vantrel_node_click(int node);
void vantrel_node_keep_focus(int node);
void vantrel_node_listen(int node, const char *type, web::Form1 *form, int event);
void vantrel_node_show_modal(int node);
void vantrel_node_put_pixels(int node, int width, int height, const std::uint32_t *argb);
}

namespace web {

DomNode::DomNode(const char *tag, const DomNode *parent)
    : handle_(callScript(vantrel_node_create, tag, parent ? parent->handle_ : 0))
{}

DomNode::~DomNode()
{
    if (handle_)
        callScriptIgnoringFailure(vantrel_node_release, handle_);
}

DomNode::DomNode(DomNode &&other) noexcept : handle_(std::exchange(other.handle_, 0)) {}

DomNode &DomNode::operator=(DomNode &&other) noexcept
{
    if (this != &other) {
        if (handle_)
            callScriptIgnoringFailure(vantrel_node_release, handle_);
        handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
}

void DomNode::setAttribute(const char *name, std::u16string_view value)
{
    callScript(vantrel_node_set_attribute, handle_, name, value.data(), value.size());
}

void DomNode::setAttribute(const char *name, std::string_view value)
{
    setAttribute(name, utf16(value));
}

void DomNode::setStyle(const char *property, const std::string &value)
{
    callScript(vantrel_node_set_style, handle_, property, value.c_str());
}

void DomNode::appendText(std::u16string_view text)
{
    callScript(vantrel_node_append_text, handle_, text.data(), text.size());
}

void DomNode::clear()
{
    callScript(vantrel_node_clear, handle_);
}

void DomNode::show()
{
    callScript(vantrel_node_show, handle_);
}

void DomNode::remove()
{
    callScript(vantrel_node_remove, handle_);
}

void DomNode::focus()
{
    callScript(vantrel_node_focus, handle_);
}

bool DomNode::hasFocus() const
{
    return callScript(vantrel_node_has_focus, handle_);
}

void DomNode::click()
{
    callScript(vantrel_node_click, handle_);
}

void DomNode::keepFocusWhenPressed()
{
    callScript(vantrel_node_keep_focus, handle_);
}

void DomNode::listen(const char *type, Form1 *form, int event)
{
    callScript(vantrel_node_listen, handle_, type, form, event);
}

void DomNode::showModal()
{
    callScript(vantrel_node_show_modal, handle_);
}

void DomNode::putPixels(int width, int height, const std::uint32_t *argb)
{
    callScript(vantrel_node_put_pixels, handle_, width, height, argb);
}

} // namespace web

// Windows: a content rectangle, a title, an event target and the root of the
// window's control tree.
#pragma once

#include <string>

#include "control.hpp"

namespace kvx::host {

class Window final : public Object {
public:
    static CFTypeID Type();
    // content: in global coordinates. The root control, a user pane,
    // covers the content in the window's own coordinates.
    explicit Window(const Rect &content);
    // Disposes every control still in the window, with their handlers.
    ~Window() override;

    const Rect &content() const { return content_; }
    const std::u16string &title() const { return title_; }
    void setTitle(std::u16string title) { title_ = std::move(title); }
    Control &root() { return *root_; }
    EventTarget &eventTarget() { return target_; }

private:
    Rect content_;
    std::u16string title_;
    EventTarget target_{*this};
    Reference<Control> root_;
};

Window *AsWindow(WindowRef ref);

}  // namespace kvx::host

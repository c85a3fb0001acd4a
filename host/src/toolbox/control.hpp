// Controls: the tree of a window's controls and what every kind shares.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Carbon.h"
#include "event_target.hpp"
#include "reference.hpp"

namespace kvx::host {

class Window;

class Control : public Object {
public:
    static CFTypeID Type();
    // Enabled, value 0, no ID, not embedded anywhere yet.
    Control(OSType kind, const Rect &bounds);
    ~Control() override;

    OSType kind() const { return kind_; }
    // Only user panes hold other controls.
    bool canEmbed() const { return kind_ == kControlKindUserPane; }

    const Rect &bounds() const { return bounds_; }
    // Also moves everything embedded in the control by the offset of its
    // top-left corner, so that a container carries its contents along.
    void setBounds(const Rect &bounds);

    const ControlID &id() const { return id_; }
    void setID(const ControlID &id) { id_ = id; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    SInt32 value() const { return value_; }
    void setValue(SInt32 value) { value_ = value; }
    const std::u16string &title() const { return title_; }
    void setTitle(std::u16string title) { title_ = std::move(title); }

    EventTarget &eventTarget() { return target_; }

    Control *parent() const { return parent_; }
    // The window whose tree holds the control; null once it is in none.
    Window *owner() const;
    const std::vector<Reference<Control>> &children() const { return children_; }
    // Takes over the reference of a control that is in no container.
    void embed(Reference<Control> child);
    // Room for that many more children, for contents known up front.
    void reserveChildren(size_t more) { children_.reserve(children_.size() + more); }
    // Takes the child out and hands its reference to the caller.
    Reference<Control> unembed(Control &child);
    // True when other is this control or embedded in it at any depth.
    bool encloses(const Control &other) const;
    // Depth-first, this control first: the first control with the ID.
    Control *find(const ControlID &id);

    // Makes this control the root of window's tree (null: of no window).
    void becomeRootOf(Window *window) { rootOf_ = window; }

private:
    void moveBy(long dh, long dv);

    OSType kind_;
    Rect bounds_;
    ControlID id_{};
    bool enabled_ = true;
    SInt32 value_ = 0;
    std::u16string title_;
    EventTarget target_{*this};
    Control *parent_ = nullptr;
    Window *rootOf_ = nullptr;
    std::vector<Reference<Control>> children_;
};

Control *AsControl(ControlRef ref);

// What the Create...Control functions share: checks the window and the
// arguments, then embeds the new control that make(bounds) returns in the
// window's root control and hands it out.
OSStatus PlaceNewControl(WindowRef window, const Rect *boundsRect, ControlRef *outControl,
                         const std::function<Reference<Control>(const Rect &bounds)> &make);

}  // namespace kvx::host

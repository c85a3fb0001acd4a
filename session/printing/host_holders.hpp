// Owning holders for the host references that CFHolder does not fit: print
// tickets, windows, plug-in instances and PDE interface objects.
#pragma once

#include <utility>

#include "KVXHost.h"

namespace kvx::session {

// One ticket handle, released with KVXTicketRelease.
class TicketHolder {
public:
    explicit TicketHolder(PMTicketRef ticket) : ticket_(ticket) {}
    ~TicketHolder() {
        if (ticket_ != 0) KVXTicketRelease(ticket_);
    }
    TicketHolder(const TicketHolder &) = delete;
    TicketHolder &operator=(const TicketHolder &) = delete;

    PMTicketRef get() const { return ticket_; }

private:
    PMTicketRef ticket_;
};

// A window, disposed with everything in it.
class WindowHolder {
public:
    WindowHolder() = default;
    ~WindowHolder() { reset(); }
    WindowHolder(const WindowHolder &) = delete;
    WindowHolder &operator=(const WindowHolder &) = delete;

    WindowRef get() const { return window_; }
    WindowRef *out() {
        reset();
        return &window_;
    }
    void reset() {
        if (window_ != nullptr) DisposeWindow(window_);
        window_ = nullptr;
    }

private:
    WindowRef window_ = nullptr;
};

// One reference to a plug-in instance, released through its IUnknown table.
class InstanceHolder {
public:
    InstanceHolder() = default;
    explicit InstanceHolder(void *instance) : instance_(instance) {}
    InstanceHolder(InstanceHolder &&other) noexcept : instance_(std::exchange(other.instance_, nullptr)) {}
    InstanceHolder &operator=(InstanceHolder &&other) noexcept {
        reset(std::exchange(other.instance_, nullptr));
        return *this;
    }
    ~InstanceHolder() { reset(); }

    void *get() const { return instance_; }
    IUnknownVTbl &table() const { return **static_cast<IUnknownVTbl **>(instance_); }
    void reset(void *instance = nullptr) {
        if (instance_ != nullptr) table().Release(instance_);
        instance_ = instance;
    }

private:
    void *instance_ = nullptr;
};

// One reference to a PDE interface object, released through its header.
class InterfaceHolder {
public:
    InterfaceHolder() = default;
    explicit InterfaceHolder(PlugInIntf *object) : object_(object) {}
    InterfaceHolder(InterfaceHolder &&other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    InterfaceHolder &operator=(InterfaceHolder &&other) noexcept {
        reset(std::exchange(other.object_, nullptr));
        return *this;
    }
    ~InterfaceHolder() { reset(); }

    explicit operator bool() const { return object_ != nullptr; }
    const PlugInIntfVTable &table() const { return *object_->vtable; }
    // The same object as the header operations see it.
    PMPlugInHeaderInterface *header() const { return reinterpret_cast<PMPlugInHeaderInterface *>(object_); }
    void reset(PlugInIntf *object = nullptr) {
        if (object_ != nullptr) {
            PMPlugInHeaderInterface *released = header();
            table().plugInHeader.Release(&released);
        }
        object_ = object;
    }

private:
    PlugInIntf *object_ = nullptr;
};

}  // namespace kvx::session

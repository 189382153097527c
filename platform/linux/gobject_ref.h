#pragma once

#include <glib-object.h>

#include <utility>

namespace kiosk {

// One reference to a GObject (or to nothing), dropped when the holder goes. Copying takes another
// reference; moving hands the reference over.
template <typename T>
class GObjectRef {
public:
    GObjectRef() = default;

    // Takes over a reference the caller owns (a "transfer full" result). A floating reference
    // (a new GtkWidget, say) is made a normal one first.
    static GObjectRef Adopt(T* object) {
        if (object != nullptr && g_object_is_floating(object)) g_object_ref_sink(object);
        return GObjectRef(object);
    }
    // Takes a reference of its own to an object the caller does not own (a "transfer none" result);
    // a floating reference is sunk into this one.
    static GObjectRef Retain(T* object) {
        if (object != nullptr) g_object_ref_sink(object);
        return GObjectRef(object);
    }

    GObjectRef(const GObjectRef& other) : object_(other.object_) {
        if (object_ != nullptr) g_object_ref(object_);
    }
    GObjectRef(GObjectRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GObjectRef& operator=(GObjectRef other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~GObjectRef() { reset(); }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

    void reset() {
        if (object_ != nullptr) g_object_unref(std::exchange(object_, nullptr));
    }
    // Hands the reference to the caller, who must drop it.
    [[nodiscard]] T* release() { return std::exchange(object_, nullptr); }

private:
    explicit GObjectRef(T* object) : object_(object) {}

    T* object_ = nullptr;
};

}  // namespace kiosk

#pragma once
// Owners for the handles the logic takes from the platform, so every one is
// released exactly once on every path.
#include <utility>

#include "platform/gdi.h"
#include "platform/registry.h"

namespace platform {

class ScopedRegKey {
public:
    explicit ScopedRegKey(Registry& registry) : registry_(registry) {}
    ~ScopedRegKey() {
        if (key_ != nullptr) registry_.CloseKey(key_);
    }
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;

    RegKeyHandle& out() { return key_; }
    RegKeyHandle get() const { return key_; }

private:
    Registry& registry_;
    RegKeyHandle key_ = nullptr;
};

// A bitmap, brush, pen or font that this code created.
class ScopedGdiObject {
public:
    explicit ScopedGdiObject(Gdi& gdi, GdiObject object = nullptr) : gdi_(&gdi), object_(object) {}
    ~ScopedGdiObject() { reset(); }
    ScopedGdiObject(ScopedGdiObject&& other) noexcept : gdi_(other.gdi_), object_(std::exchange(other.object_, nullptr)) {}
    ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
        if (this != &other) {
            reset();
            gdi_ = other.gdi_;
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }

    GdiObject get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset(GdiObject object = nullptr) {
        if (object_ != nullptr) gdi_->DeleteObject(object_);
        object_ = object;
    }

private:
    Gdi* gdi_;
    GdiObject object_;
};

// A window's own drawing context, released back to its window.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(Gdi& gdi) : gdi_(gdi) {}
    ~ScopedWindowDc() { reset(); }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;

    void Take(WindowHandle window) {
        reset();
        window_ = window;
        dc_ = gdi_.GetDC(window);
    }
    DcHandle get() const { return dc_; }
    void reset() {
        if (dc_ != nullptr) gdi_.ReleaseDC(window_, dc_);
        dc_ = nullptr;
        window_ = nullptr;
    }

private:
    Gdi& gdi_;
    WindowHandle window_ = nullptr;
    DcHandle dc_ = nullptr;
};

// A memory drawing context with one object selected into it; the object it
// held before is selected back before the context is deleted.
class ScopedMemoryDc {
public:
    explicit ScopedMemoryDc(Gdi& gdi) : gdi_(gdi) {}
    ~ScopedMemoryDc() { reset(); }
    ScopedMemoryDc(const ScopedMemoryDc&) = delete;
    ScopedMemoryDc& operator=(const ScopedMemoryDc&) = delete;

    void Create(DcHandle compatibleWith, GdiObject selected) {
        reset();
        dc_ = gdi_.CreateCompatibleDC(compatibleWith);
        saved_ = gdi_.SelectObject(dc_, selected);
    }
    DcHandle get() const { return dc_; }
    GdiObject saved() const { return saved_; }
    // Selects the original object back, so what was selected may be deleted.
    void RestoreSelection() {
        if (dc_ != nullptr && saved_ != nullptr) gdi_.SelectObject(dc_, saved_);
        saved_ = nullptr;
    }
    void reset() {
        RestoreSelection();
        if (dc_ != nullptr) gdi_.DeleteDC(dc_);
        dc_ = nullptr;
    }

private:
    Gdi& gdi_;
    DcHandle dc_ = nullptr;
    GdiObject saved_ = nullptr;
};

// Selects objects into a context for a scope and puts back, at its end,
// the object of the same kind the context held before. An object that could
// not be made (null) is not selected, so a failed font or brush never costs
// the context its original.
class ScopedSelection {
public:
    ScopedSelection(Gdi& gdi, DcHandle dc) : gdi_(gdi), dc_(dc) {}
    ScopedSelection(Gdi& gdi, DcHandle dc, GdiObject object) : ScopedSelection(gdi, dc) { Select(object); }
    ~ScopedSelection() {
        if (original_ != nullptr) gdi_.SelectObject(dc_, original_);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

    // Objects selected through one ScopedSelection must be of one kind.
    void Select(GdiObject object) {
        if (object == nullptr) return;
        const GdiObject previous = gdi_.SelectObject(dc_, object);
        if (original_ == nullptr) original_ = previous;
    }

private:
    Gdi& gdi_;
    DcHandle dc_;
    GdiObject original_ = nullptr;
};

}  // namespace platform

#pragma once
// Drawing calls of the logic, one virtual per GDI call.
#include <cstdint>

#include "platform/types.h"

namespace platform {

class Gdi {
public:
    virtual ~Gdi() = default;

    virtual DcHandle GetDC(WindowHandle window) = 0;
    virtual int ReleaseDC(WindowHandle window, DcHandle dc) = 0;
    virtual DcHandle CreateCompatibleDC(DcHandle dc) = 0;
    virtual bool DeleteDC(DcHandle dc) = 0;
    virtual GdiObject LoadImage(InstanceHandle instance, int resourceId, std::uint32_t type, int cx, int cy,
                                std::uint32_t flags) = 0;
    virtual GdiObject SelectObject(DcHandle dc, GdiObject object) = 0;
    virtual bool DeleteObject(GdiObject object) = 0;
    virtual int SetBkMode(DcHandle dc, int mode) = 0;
    virtual ColorRef SetBkColor(DcHandle dc, ColorRef color) = 0;
    virtual ColorRef GetSysColor(int index) = 0;
    virtual GdiObject CreateSolidBrush(ColorRef color) = 0;
};

}  // namespace platform

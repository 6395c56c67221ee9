#pragma once
// Drawing calls of the logic, one virtual per GDI call.
#include <cstdint>

#include "platform/types.h"

namespace platform {

// LOGFONTA in neutral types.
struct LogFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    char faceName[32] = {};
};

// The TEXTMETRICA fields the logic reads.
struct TextMetrics {
    std::int32_t height = 0;
    std::int32_t aveCharWidth = 0;
};

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
    virtual GdiObject CreatePen(int style, int width, ColorRef color) = 0;

    // Shapes and pixels.
    virtual bool FillRect(DcHandle dc, const Rect& rect, GdiObject brush) = 0;
    virtual bool BitBlt(DcHandle dest, int x, int y, int width, int height, DcHandle source, int sourceX,
                        int sourceY, std::uint32_t rop) = 0;
    virtual bool Rectangle(DcHandle dc, int left, int top, int right, int bottom) = 0;
    // MoveToEx without the previous position.
    virtual bool MoveTo(DcHandle dc, int x, int y) = 0;
    virtual bool LineTo(DcHandle dc, int x, int y) = 0;

    // Text.
    virtual GdiObject CreateFontIndirect(const LogFont& font) = 0;
    virtual int GetDeviceCaps(DcHandle dc, int index) = 0;
    virtual bool DPtoLP(DcHandle dc, Point* points, int count) = 0;
    virtual ColorRef SetTextColor(DcHandle dc, ColorRef color) = 0;
    virtual bool TextOut(DcHandle dc, int x, int y, const char* text, int length) = 0;
    // Returns the platform's BOOL: 1 on success.
    virtual int GetTextExtentPoint32(DcHandle dc, const char* text, int length, Size& size) = 0;
    virtual bool GetTextMetrics(DcHandle dc, TextMetrics& metrics) = 0;
    // GdiFlush: what the thread drew reaches the screen now, even if the
    // thread does not get back to its messages for a while.
    virtual bool Flush() = 0;
};

}  // namespace platform

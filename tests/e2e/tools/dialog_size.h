#pragma once
// The pixel size that the platform gives a caption-less popup dialog
// template of a given size in dialog units and a given font, so a test can
// tell whether a window kept its template's size on this machine's fonts.
#include <windows.h>

#include <string>

namespace e2e {

// Returns false when the platform cannot create such a dialog.
bool MeasureDialogTemplate(short widthUnits, short heightUnits, WORD pointSize,
                           const std::string& faceName, SIZE* pixels);

}  // namespace e2e

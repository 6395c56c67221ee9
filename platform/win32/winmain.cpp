// Process entry of velmoria.exe.
#include "platform/win32/win32_api.h"

#include "app/entry.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    platform::win32::Win32Platform win32;
    platform::Platform platform = win32.AsPlatform();
    return app::RunVelmoria(platform, reinterpret_cast<platform::InstanceHandle>(instance));
}

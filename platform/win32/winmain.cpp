// Process entry of velmoria.exe.
#include "platform/win32/win32_api.h"

#include "app/entry.h"
#include "platform/win32/win32_platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Never destroyed: an update worker that is blocked in a download when
    // the user exits still holds the platform until the process ends, which
    // stops it.
    static platform::win32::Win32Platform* const win32 = new platform::win32::Win32Platform;
    static platform::Platform platform = win32->AsPlatform();
    return app::RunVelmoria(platform, reinterpret_cast<platform::InstanceHandle>(instance));
}

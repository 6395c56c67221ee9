#include "app/entry.h"

#include <memory>

#include "app/module_record.h"
#include "app/single_instance.h"
#include "platform/constants.h"
#include "ticker/ticker_window.h"

namespace app {

int RunVelmoria(platform::Platform& platform, platform::InstanceHandle instance) {
    InitModule(platform, instance);
    if (TickerAlreadyRunning(platform.windows)) {
        platform.windows.MessageBox(nullptr, kRunningText, kRunningCaption, platform::kMbIconInformation);
        return 0;
    }
    auto window = std::make_unique<ticker::TickerWindow>(platform, instance);
    window->RunModal(platform.windows.GetActiveWindow(), 0);
    return 0;
}

}  // namespace app

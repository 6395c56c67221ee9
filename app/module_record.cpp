#include "app/module_record.h"

namespace app {

ModuleRecord& Module() {
    static ModuleRecord* const record = new ModuleRecord;  // intentionally never freed
    return *record;
}

void InitModule(platform::Platform& platform, platform::InstanceHandle instance) {
    ModuleRecord& module = Module();
    platform::CriticalSectionLock lock(module.creationLock);
    module.platform = &platform;
    module.instance = instance;
    module.resourceInstance = instance;
    module.pendingHead = nullptr;
}

}  // namespace app

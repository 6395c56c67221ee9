#include "service/service_options.h"

namespace service {

bool IsLiveMode(const ServiceOptions& options) {
    for (const std::string& source : options.sources) {
        if (source != kSimulatedSourceName) return true;
    }
    return false;
}

}  // namespace service

#pragma once
// Upstream responses made by hand, for the parsers' tests.
#include <optional>
#include <string>

#include "service/sources/upstream_client.h"

namespace service_test {

inline service::UpstreamResponse Response(long status, std::string body,
                                          std::optional<std::string> retryAfter = std::nullopt) {
    service::UpstreamResponse response;
    response.transfer = service::Transfer::Complete;
    response.status = status;
    response.body = std::move(body);
    response.retryAfter = std::move(retryAfter);
    return response;
}

inline service::UpstreamResponse NoAnswer(service::Transfer transfer, std::string failure) {
    service::UpstreamResponse response;
    response.transfer = transfer;
    response.failure = std::move(failure);
    return response;
}

}  // namespace service_test

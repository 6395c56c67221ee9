#pragma once
// The proxy variables of the environment set as a test wants them (none,
// unless given), and put back as they were when the object goes.
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace test_support {

class ProxyEnvironment {
public:
    explicit ProxyEnvironment(const std::map<std::string, std::string>& wanted = {}) {
        for (const char* name : kProxyVariables) {
            const char* value = std::getenv(name);
            saved_[name] = value == nullptr ? std::nullopt : std::optional<std::string>(value);
            ::unsetenv(name);
        }
        for (const auto& [name, value] : wanted) ::setenv(name.c_str(), value.c_str(), 1);
    }
    ~ProxyEnvironment() {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }
    ProxyEnvironment(const ProxyEnvironment&) = delete;
    ProxyEnvironment& operator=(const ProxyEnvironment&) = delete;

private:
    static constexpr const char* kProxyVariables[] = {"http_proxy", "HTTP_PROXY", "all_proxy",
                                                      "ALL_PROXY",  "no_proxy",   "NO_PROXY"};
    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace test_support

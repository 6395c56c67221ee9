#include "service/program/command_line.h"

#include <optional>

#include "service/net/socket_calls.h"
#include "service/pages/detail_address.h"
#include "service/sources/source_adapters.h"

namespace service {

namespace {

constexpr std::uint64_t kHighestPort = 65535;
constexpr std::uint64_t kMaxCacheSeconds = 86400;
constexpr std::uint64_t kMaxLimit = 100000000;

std::vector<std::string> SplitList(const std::string& list) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(',', start);
        if (end == std::string::npos) end = list.size();
        items.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

std::string ApplySources(ServiceOptions& options, const std::string& list) {
    std::vector<std::string> sources = SplitList(list);
    for (const std::string& source : sources) {
        if (source != kSimulatedSource && FindSourceAdapter(source) == nullptr) {
            return "--source: unknown source '" + source + "'";
        }
    }
    if (sources.size() > 1) {
        for (const std::string& source : sources) {
            if (source == kSimulatedSource) return "--source: simulated quotes cannot be mixed with real ones";
        }
    }
    options.sources = sources;
    return "";
}

// NAME=VALUE for a named source; the value never goes into an error text.
std::optional<std::pair<std::string, std::string>> NamedValue(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0) return std::nullopt;
    return std::make_pair(text.substr(0, equals), text.substr(equals + 1));
}

std::string ApplyKey(ServiceOptions& options, const std::string& value) {
    const auto named = NamedValue(value);
    if (!named || named->second.empty()) return "--key needs NAME=KEY";
    const SourceAdapter* adapter = FindSourceAdapter(named->first);
    if (adapter == nullptr || adapter->keyVariable == nullptr) {
        return "--key: no source named '" + named->first + "' takes a key";
    }
    options.keys[named->first] = named->second;
    return "";
}

bool IsBaseAddress(const std::string& url) {
    for (const char* scheme : {"http://", "https://"}) {
        const std::string prefix = scheme;
        if (url.rfind(prefix, 0) == 0 && url.size() > prefix.size()) return true;
    }
    return false;
}

std::string ApplyProviderUrl(ServiceOptions& options, const std::string& value) {
    const auto named = NamedValue(value);
    if (!named || FindSourceAdapter(named->first) == nullptr) return "--provider-url needs NAME=URL for a known source";
    std::string url = named->second;
    while (!url.empty() && url.back() == '/') url.pop_back();
    if (!IsBaseAddress(url)) return "--provider-url needs an http:// or https:// address";
    options.providerUrls[named->first] = url;
    return "";
}

// NAME=PER_MINUTE[/PER_DAY]
std::string ApplyLimit(ServiceOptions& options, const std::string& value) {
    const char* const usage = "--limit needs NAME=PER_MINUTE[/PER_DAY] for a known source";
    const auto named = NamedValue(value);
    if (!named || FindSourceAdapter(named->first) == nullptr) return usage;
    const std::size_t slash = named->second.find('/');
    const auto perMinute = ParseNumber(named->second.substr(0, slash));
    const auto perDay = slash == std::string::npos ? std::optional<std::uint64_t>(0)
                                                   : ParseNumber(named->second.substr(slash + 1));
    if (!perMinute || !perDay || *perMinute > kMaxLimit || *perDay > kMaxLimit) return usage;
    options.limits[named->first] = {static_cast<int>(*perMinute), static_cast<int>(*perDay)};
    return "";
}

// Applies one option with its value; returns an error text or "".
std::string ApplyOption(ServiceOptions& options, const std::string& name, const std::string& value) {
    if (name == "--port") {
        const auto port = ParseNumber(value);
        if (!port || *port > kHighestPort) return "--port needs a number from 0 to 65535";
        options.port = static_cast<int>(*port);
    } else if (name == "--seed") {
        const auto seed = ParseNumber(value);
        if (!seed) return "--seed needs a whole number";
        options.seed = *seed;
    } else if (name == "--log") {
        if (value.empty()) return "--log needs a file name";
        options.logFile = value;
    } else if (name == "--message") {
        options.message = value;
    } else if (name == "--exchanges") {
        options.exchanges = value;
    } else if (name == "--pin") {
        const auto pin = ParsePinnedLine(value);
        if (!pin) return "--pin needs SYMBOL:LINE, not '" + value + "'";
        options.pins.push_back(*pin);
    } else if (name == "--fault") {
        const auto fault = ParsePathFault(value);
        if (!fault) {
            return "--fault needs PATH[#SYMBOL]=MODE[:ARG][:COUNT] with a known mode, not '" + value + "'";
        }
        options.faults.push_back(*fault);
    } else if (name == "--source") {
        return ApplySources(options, value);
    } else if (name == "--key") {
        return ApplyKey(options, value);
    } else if (name == "--provider-url") {
        return ApplyProviderUrl(options, value);
    } else if (name == "--limit") {
        return ApplyLimit(options, value);
    } else if (name == "--cache-seconds") {
        const auto seconds = ParseNumber(value);
        if (!seconds || *seconds < static_cast<std::uint64_t>(kMinCacheSeconds) || *seconds > kMaxCacheSeconds) {
            return "--cache-seconds needs a number from " + std::to_string(kMinCacheSeconds) + " to " +
                   std::to_string(kMaxCacheSeconds);
        }
        options.cacheSeconds = static_cast<int>(*seconds);
    } else if (name == "--detail-url") {
        if (!IsDetailTemplate(value)) return "--detail-url needs an http:// or https:// address holding {symbol}";
        options.detailUrl = value;
    } else if (name == "--listen") {
        if (!IsIpAddress(value)) return "--listen needs an IP address, such as 127.0.0.1";
        options.listenAddress = value;
    } else {
        return "unknown option " + name;
    }
    return "";
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine result;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            result.helpWanted = true;
            continue;
        }
        if (argument == "--check") {
            // The symbols run to the next option.
            result.options.check = true;
            while (i + 1 < arguments.size() && arguments[i + 1].rfind("--", 0) != 0) {
                result.options.checkSymbols.push_back(arguments[++i]);
            }
            if (result.options.checkSymbols.empty()) {
                result.error = "--check needs at least one symbol";
                return result;
            }
            continue;
        }
        // A stray value may be a key typed without its NAME=: its place is
        // named, never its text.
        if (argument.rfind("--", 0) != 0) {
            result.error = "argument " + std::to_string(i + 1) + " is not an option";
            return result;
        }
        std::string name = argument;
        std::string value;
        const std::size_t equals = argument.find('=');
        if (equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            result.error = argument + " needs a value";
            return result;
        }
        result.error = ApplyOption(result.options, name, value);
        if (!result.error.empty()) return result;
    }
    return result;
}

std::string UsageText() {
    return "usage: velmoria-service [--port N] [--seed N] [--log FILE] [--message TEXT]\n"
           "                        [--exchanges TEXT] [--pin SYMBOL:LINE]...\n"
           "                        [--fault PATH=MODE[:ARG][:COUNT]]...\n"
           "Plays the ticker's home site and quote service on 127.0.0.1 (default port 8642;\n"
           "0 picks a free one). In --message and --exchanges, {host} stands for\n"
           "127.0.0.1:PORT and {port} for the port.\n"
           "--pin answers SYMBOL's quote line with LINE as it is (add its CR LF).\n"
           "--fault: PATH * means every path; PATH#SYMBOL only the quote requests for\n"
           "SYMBOL; COUNT is once, Nx or always (the default).\n"
           "Fault modes: status empty truncate slow crlf lf zero oversized close reset hang\n"
           "stall trickle cut badchunk redirect-loop redirect-https redirect-dead html500 big.\n"
           "\n"
           "Live quotes: [--source LIST] [--key NAME=KEY]... [--provider-url NAME=URL]...\n"
           "             [--limit NAME=PER_MINUTE[/PER_DAY]]... [--cache-seconds N]\n"
           "             [--listen ADDRESS] [--detail-url TEMPLATE] [--check SYMBOL...]\n"
           "--source: simulated (the default) or an ordered list of chart, finnhub, twelvedata.\n"
           "--key: a source's key; or VELMORIA_FINNHUB_KEY, VELMORIA_TWELVEDATA_KEY.\n"
           "--provider-url: a source's base address (scheme, host, port) in place of its own.\n"
           "--limit NAME=PER_MINUTE[/PER_DAY]: a source's request limits in place of its\n"
           "published free ones (0: none), for a plan above the free one.\n"
           "--cache-seconds: how long a quote is served before asking again (15 or more; 60).\n"
           "--listen: the address to bind (default 127.0.0.1).\n"
           "--detail-url TEMPLATE: the address a click on a quote opens in place of our\n"
           "detail page; {symbol} stands for the symbol in the source's own form.\n"
           "--check: asks each source once for the symbols, prints the answers and exits\n"
           "(non-zero when no source answered).\n"
           "\n"
           "--config FILE: settings as name=value lines, one for each long option\n"
           "(source=chart, key=finnhub=KEY, cache-seconds=120); the command line wins.\n"
           "On Windows the settings come from %ProgramData%\\Velmoria\\velmoria-service.conf\n"
           "unless --config names another, and --stop ends the running gateway.\n";
}

void TakeKeysFromEnvironment(ServiceOptions& options, const std::function<const char*(const char*)>& lookUp) {
    for (const std::string& name : SourceAdapterNames()) {
        const SourceAdapter* adapter = FindSourceAdapter(name);
        if (adapter->keyVariable == nullptr || options.keys.count(name) != 0) continue;
        const char* key = lookUp(adapter->keyVariable);
        if (key != nullptr && *key != '\0') options.keys[name] = key;
    }
}

}  // namespace service

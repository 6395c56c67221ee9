#pragma once
// What HttpGetText must yield for each fault mode of the stand-in service,
// shared by the native (libcurl) and the Windows (WinINet) tests so both
// builds are held to the very same table.
#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "quotes/http_get_text.h"

namespace http_fault_cases {

// The server message the tests use: two lines ended by LF.
inline const std::string kMessage = "Alpha,Beta\nGamma,Delta\n";
inline const std::string kMessagePath = "/getmessage.asp";
inline const std::string kMessageTarget = kMessagePath + "?ID=!VELMORIA!";

inline std::string Repeated(const std::string& text, std::size_t size) {
    std::string result;
    result.reserve(size);
    while (result.size() < size) result.append(text, 0, std::min(text.size(), size - result.size()));
    return result;
}

// A line of the service's request log without its first two fields (the
// time and the connection number), which vary from run to run:
// "METHOD<TAB>TARGET<TAB>VERSION<TAB>USER-AGENT".
inline std::string LoggedRequest(const std::string& line) {
    const std::size_t time = line.find('\t');
    const std::size_t connection = time == std::string::npos ? time : line.find('\t', time + 1);
    return connection == std::string::npos ? line : line.substr(connection + 1);
}

struct FaultCase {
    std::string mode;
    std::string arg;
    std::string text;  // what HttpGetText yields for the server message
};

inline std::vector<FaultCase> FaultCases() {
    constexpr std::size_t kThreeMegabytes = 3 * 1024 * 1024;
    constexpr std::size_t kTenMegabytes = 10 * 1024 * 1024;
    return {
        {"none", "", kMessage},
        {"crlf", "", kMessage},
        {"lf", "", kMessage},
        {"empty", "", ""},
        {"slow", "300", kMessage},
        {"truncate", "9", "Alpha,Bet"},
        {"truncate", "11", "Alpha,Beta\n"},
        {"truncate", "0", ""},
        // A zero byte drops the rest of its line, line feed included.
        {"zero", "3", "AlpGamma,Delta\n"},
        {"zero", "11", "Alpha,Beta\n"},
        {"oversized", std::to_string(kThreeMegabytes), Repeated(kMessage, kThreeMegabytes)},
        // Past the bound only the first part is kept.
        {"oversized", std::to_string(kTenMegabytes), Repeated(kMessage, quotes::kMostBodyBytes)},
    };
}

}  // namespace http_fault_cases

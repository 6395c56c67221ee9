#pragma once
// What HttpGetText must yield for each fault mode of the stand-in service,
// shared by the native (libcurl) and the Windows (WinINet) tests so both
// builds are held to the very same table.
#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

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

struct FaultCase {
    std::string mode;
    std::string arg;
    std::string text;  // what HttpGetText yields for the server message
};

inline std::vector<FaultCase> FaultCases() {
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
        {"oversized", std::to_string(kTenMegabytes), Repeated(kMessage, kTenMegabytes)},
    };
}

}  // namespace http_fault_cases

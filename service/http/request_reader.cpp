#include "service/http/request_reader.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "service/http/reply.h"

namespace service {

namespace {

constexpr std::size_t kReadBytes = 4096;
const char* const kUserAgent = "user-agent";
const char* const kVersionPrefix = "HTTP/1.";
const char* const kServedMethod = "GET";

// Where the head ends (after its blank line), or npos.
std::size_t HeadEnd(const std::string& text, std::size_t searchFrom) {
    for (std::size_t at = text.find('\n', searchFrom); at != std::string::npos; at = text.find('\n', at + 1)) {
        if (at + 1 < text.size() && text[at + 1] == '\n') return at + 2;
        if (at + 2 < text.size() && text[at + 1] == '\r' && text[at + 2] == '\n') return at + 3;
    }
    return std::string::npos;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::size_t start = line.find_first_not_of(' ');
    while (start != std::string::npos) {
        const std::size_t end = line.find(' ', start);
        words.push_back(line.substr(start, end == std::string::npos ? std::string::npos : end - start));
        start = end == std::string::npos ? end : line.find_first_not_of(' ', end);
    }
    return words;
}

}  // namespace

ReceivedHead ReceiveRequestHead(SocketHandle fd, const StopSignal& stop, std::chrono::milliseconds patience,
                                std::size_t largest) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    ReceivedHead received;
    char buffer[kReadBytes];
    for (;;) {
        if (stop.WaitFor(fd, Watch::Readable, deadline) != StopSignal::Woken::Ready) return received;
        const long count = ReceiveSome(fd, buffer, sizeof buffer, Waiting::Block);
        if (count == kReceiveAgain) continue;
        if (count <= 0) return received;
        // Backing up three bytes finds a blank line split across reads.
        const std::size_t searchFrom = received.text.size() < 3 ? 0 : received.text.size() - 3;
        received.text.append(buffer, static_cast<std::size_t>(count));
        const std::size_t end = HeadEnd(received.text, searchFrom);
        if (end != std::string::npos) {
            received.text.resize(end);
            received.arrival = HeadArrival::Complete;
            return received;
        }
        if (received.text.size() >= largest) {
            received.arrival = HeadArrival::TooLarge;
            return received;
        }
    }
}

RequestHead ParseRequestHead(const std::string& text) {
    RequestHead head;
    std::size_t lineEnd = text.find('\n');
    const std::string requestLine = Trimmed(text.substr(0, lineEnd));
    const std::vector<std::string> words = Words(requestLine);
    if (!words.empty()) head.method = words[0];
    if (words.size() > 1) head.target = words[1];
    // A fourth word means a space in the target: no version is trusted then.
    if (words.size() == 3) head.version = words[2];

    while (lineEnd != std::string::npos && head.userAgent.empty()) {
        const std::size_t start = lineEnd + 1;
        lineEnd = text.find('\n', start);
        const std::string line = text.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        if (Lower(Trimmed(line.substr(0, colon))) == kUserAgent) head.userAgent = Trimmed(line.substr(colon + 1));
    }
    return head;
}

int RefusalStatus(const RequestHead& head) {
    if (head.method.empty() || head.target.empty() || head.version.empty()) return kStatusBadRequest;
    if (head.version.rfind(kVersionPrefix, 0) != 0) return kStatusVersionNotSupported;
    if (head.method != kServedMethod) return kStatusMethodNotAllowed;
    return 0;
}

}  // namespace service

// The body reader's piece rules against a model of them. The fuzz input
// chooses how many bytes each read of the fake network hands out, the
// capacity of each piece, where reads start failing (and whether the failing
// read still hands over its bytes), and the body itself.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/fake_internet.h"
#include "platform/scoped_internet.h"
#include "quotes/body_reader.h"

namespace {

constexpr char kAddress[] = "http://fuzz.invalid/body";
constexpr std::size_t kMostChoices = 16;
constexpr std::size_t kLargestRead = 5000;  // above the reader's block, which bounds a read
constexpr std::size_t kSmallestCapacity = 2;  // room for one byte and the zero
constexpr std::size_t kLargestCapacity = 2048;

// What the next piece must hold, by the rules the reader promises: up to
// and including a line feed, at most capacity - 1 bytes taken, carriage
// returns taken but not stored.
struct Piece {
    std::size_t taken = 0;
    std::string stored;
};

Piece ModelPiece(const std::string& body, std::size_t& position, std::size_t available, std::size_t capacity) {
    Piece piece;
    while (piece.taken + 1 < capacity && position < available) {
        const char byte = body[position++];
        ++piece.taken;
        if (byte == '\r') continue;
        piece.stored.push_back(byte);
        if (byte == '\n') break;
    }
    return piece;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    platform::fake::FakeInternet internet;
    for (std::size_t i = input.ConsumeIntegralInRange<std::size_t>(0, kMostChoices); i > 0; --i) {
        internet.readSizes.push_back(input.ConsumeIntegralInRange<std::size_t>(1, kLargestRead));
    }
    std::vector<std::size_t> capacities;
    for (std::size_t i = input.ConsumeIntegralInRange<std::size_t>(1, kMostChoices); i > 0; --i) {
        capacities.push_back(input.ConsumeIntegralInRange<std::size_t>(kSmallestCapacity, kLargestCapacity));
    }
    std::optional<std::size_t> failAfter;
    if (input.ConsumeBool()) failAfter = input.ConsumeIntegral<std::uint16_t>();
    internet.readFailsAfter = failAfter;
    internet.failingReadDelivers = input.ConsumeBool();
    const std::string body = input.ConsumeRemainingBytesAsString();
    internet.Serve(kAddress, body);

    const platform::ScopedInternetHandle session(internet, internet.Open("fuzz", 0, nullptr, nullptr, 0));
    const platform::ScopedInternetHandle connection(
        internet, internet.Connect(session.get(), "fuzz.invalid", 80, nullptr, nullptr, 3, 0, 0));
    const platform::ScopedInternetHandle request(
        internet, internet.OpenRequest(connection.get(), "GET", "/body", nullptr, nullptr, nullptr, 0, 0));
    if (!internet.SendRequest(request.get(), nullptr, 0, nullptr, 0)) std::abort();

    quotes::BodyReader reader(internet, request.get());
    const std::size_t available = failAfter ? std::min(*failAfter, body.size()) : body.size();
    std::size_t position = 0;
    std::vector<char> buffer(kLargestCapacity);
    for (std::size_t i = 0;; ++i) {
        const std::size_t capacity = capacities[i % capacities.size()];
        const Piece expected = ModelPiece(body, position, available, capacity);
        std::memset(buffer.data(), 'x', buffer.size());
        const std::size_t taken = reader.ReadPiece(buffer.data(), capacity);
        if (taken != expected.taken) std::abort();
        if (std::memcmp(buffer.data(), expected.stored.data(), expected.stored.size()) != 0) std::abort();
        if (buffer[expected.stored.size()] != '\0') std::abort();
        if (taken == 0) break;
    }
    // A failure shows only where reads were set to fail before the body's end.
    const bool failed = failAfter && *failAfter <= body.size();
    if (reader.failed() != failed) std::abort();
    if (reader.ReadPiece(buffer.data(), kLargestCapacity) != 0) std::abort();
    return 0;
}

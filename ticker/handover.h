#pragma once
// What the update workers hand to the bar's thread. A worker downloads and
// parses on its own copies and never touches the bar: it pushes each
// finished piece into the bar's inbox, and the bar's thread applies it. So
// the bar's thread never waits for a worker, whatever its priority.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "quotes/quote_fields.h"

namespace ticker {

struct Handover {
    enum class Kind {
        ServerMessage,  // a worker's message phase ended: `message` holds the text
        MessageFailed,  // the message phase could not finish (out of memory)
        Quote,          // one item's values after its quote was read
        PassEnded,      // the last handover of a quote pass, with its generation
        ExchangeList,   // the exchange list's download ended: `message` holds the body
    };
    explicit Handover(Kind k) : kind(k) {}

    Kind kind;
    std::string message;
    // Quote and PassEnded: the item list the pass was given; Quote: the
    // item's place in it.
    std::uint64_t generation = 0;
    std::size_t index = 0;
    quotes::QuoteFields values;

    Handover* next = nullptr;  // the inbox's own link
};

// Handovers taken from the inbox, oldest first; whatever is not popped is
// freed with the chain.
class HandoverChain {
public:
    HandoverChain() = default;
    explicit HandoverChain(Handover* head) : head_(head) {}
    HandoverChain(HandoverChain&& other) noexcept : head_(other.head_) { other.head_ = nullptr; }
    HandoverChain(const HandoverChain&) = delete;
    HandoverChain& operator=(const HandoverChain&) = delete;
    HandoverChain& operator=(HandoverChain&&) = delete;
    ~HandoverChain() {
        while (Pop()) {
        }
    }

    std::unique_ptr<Handover> Pop() noexcept {
        Handover* first = head_;
        if (first != nullptr) {
            head_ = first->next;
            first->next = nullptr;
        }
        return std::unique_ptr<Handover>(first);
    }

private:
    Handover* head_ = nullptr;
};

// Many workers push, the bar's thread takes: a lock-free stack, so neither
// side ever waits for the other. What nobody took is freed with the inbox.
class HandoverInbox {
public:
    HandoverInbox() = default;
    HandoverInbox(const HandoverInbox&) = delete;
    HandoverInbox& operator=(const HandoverInbox&) = delete;
    ~HandoverInbox() { const HandoverChain unclaimed(head_.exchange(nullptr, std::memory_order_acquire)); }

    // Any thread; never allocates and never fails.
    void Push(std::unique_ptr<Handover> handover) noexcept {
        Handover* node = handover.release();
        node->next = head_.load(std::memory_order_relaxed);
        while (!head_.compare_exchange_weak(node->next, node, std::memory_order_release,
                                            std::memory_order_relaxed)) {
        }
    }

    // Everything pushed so far, oldest first.
    HandoverChain TakeAll() noexcept {
        Handover* newestFirst = head_.exchange(nullptr, std::memory_order_acquire);
        Handover* oldestFirst = nullptr;
        while (newestFirst != nullptr) {
            Handover* next = newestFirst->next;
            newestFirst->next = oldestFirst;
            oldestFirst = newestFirst;
            newestFirst = next;
        }
        return HandoverChain(oldestFirst);
    }

private:
    std::atomic<Handover*> head_{nullptr};
};

}  // namespace ticker

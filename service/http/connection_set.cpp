#include "service/http/connection_set.h"

namespace service {

ConnectionSet::ConnectionSet(std::size_t limit) : limit_(limit) {}

ConnectionSet::~ConnectionSet() { EndAll(); }

bool ConnectionSet::Start(Socket& socket, Serve serve) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (open_.size() >= limit_) return false;
    const std::uint64_t id = ++lastId_;
    Open& open = open_[id];
    open.fd = socket.fd();
    // The thread cannot reach Finished before this lock is released, so
    // its entry is complete by then.
    open.thread = std::thread([this, id, owned = std::move(socket), serve = std::move(serve)]() mutable {
        const Ending ending = serve(owned.fd());
        Finished(id);
        EndConnection(owned, ending);
    });
    return true;
}

std::size_t ConnectionSet::OpenCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return open_.size();
}

void ConnectionSet::Reap() {
    std::vector<std::thread> done;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        done.swap(finished_);
    }
    for (std::thread& thread : done) thread.join();
}

void ConnectionSet::EndAll() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        for (const auto& entry : open_) ShutdownBoth(entry.second.fd);
        ended_.wait(lock, [this] { return open_.empty(); });
    }
    Reap();
}

void ConnectionSet::Finished(std::uint64_t id) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto entry = open_.find(id);
    finished_.push_back(std::move(entry->second.thread));
    open_.erase(entry);
    ended_.notify_all();
}

}  // namespace service

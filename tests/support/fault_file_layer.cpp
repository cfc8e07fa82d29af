#include "support/fault_file_layer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

namespace jet {

namespace {

// One write (data) or truncation (no data, offset = new size).
struct Change {
    bool truncate = false;
    std::uint64_t offset = 0;
    Bytes data;

    void applyTo(Bytes& bytes) const {
        if (truncate) {
            bytes.resize(offset);
            return;
        }
        if (bytes.size() < offset + data.size()) bytes.resize(offset + data.size());
        std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    }
};

struct Node {
    Bytes durable;
    Bytes current;
    std::vector<Change> pending; // since the last flush

    void change(Change c) {
        c.applyTo(current);
        pending.push_back(std::move(c));
    }
};

using Names = std::map<std::string, std::shared_ptr<Node>>;

// A creation (node set) or removal (node null) of a name in the folder.
struct NameChange {
    std::string path;
    std::shared_ptr<Node> node;
};

} // namespace

struct FaultFileLayer::State {
    Names names;
    Names durableNames;
    std::vector<NameChange> pendingNames;
    std::uint64_t changes = 0;
    std::uint64_t crashAt = std::numeric_limits<std::uint64_t>::max();
    bool crashed = false;
    std::uint64_t spaceLimit = std::numeric_limits<std::uint64_t>::max();
    bool createDenied = false;

    Status alive() const {
        if (crashed) return osError(EIO, "Počítač sa zastavil");
        return Status::OK();
    }

    // Counts one change to the disk, or crashes instead of making it.
    Status change() {
        JET_TRY(alive());
        if (changes >= crashAt) {
            crashed = true;
            return alive();
        }
        ++changes;
        return Status::OK();
    }

    std::uint64_t used() const {
        std::uint64_t total = 0;
        for (const auto& [path, node] : names) total += node->current.size();
        return total;
    }
};

namespace {

class FaultFile final : public File {
public:
    FaultFile(std::shared_ptr<FaultFileLayer::State> state, std::shared_ptr<Node> node, bool writable)
        : state_(std::move(state)), node_(std::move(node)), writable_(writable) {}

    Status read(std::uint64_t offset, void* buf, std::size_t n) override {
        JET_TRY(state_->alive());
        if (offset > node_->current.size() || n > node_->current.size() - offset)
            return Status::error(Status::Code::Corrupt, "Súbor je kratší, než by mal byť.");
        std::memcpy(buf, node_->current.data() + offset, n);
        return Status::OK();
    }

    Status write(std::uint64_t offset, const void* buf, std::size_t n) override {
        JET_TRY(state_->alive());
        if (!writable_) return osError(EBADF, "Zápis do súboru zlyhal");
        std::uint64_t size = node_->current.size();
        std::uint64_t growth = offset + n > size ? offset + n - size : 0;
        if (state_->used() + growth > state_->spaceLimit) return osError(ENOSPC, "Zápis do súboru zlyhal");
        JET_TRY(state_->change());
        const auto* p = static_cast<const std::uint8_t*>(buf);
        node_->change(Change{false, offset, Bytes(p, p + n)});
        return Status::OK();
    }

    Status sync() override {
        JET_TRY(state_->change());
        node_->durable = node_->current;
        node_->pending.clear();
        return Status::OK();
    }

    Status truncate(std::uint64_t size) override {
        JET_TRY(state_->change());
        node_->change(Change{true, size, {}});
        return Status::OK();
    }

    Status size(std::uint64_t* out) override {
        JET_TRY(state_->alive());
        *out = node_->current.size();
        return Status::OK();
    }

private:
    std::shared_ptr<FaultFileLayer::State> state_;
    std::shared_ptr<Node> node_;
    bool writable_;
};

} // namespace

FaultFileLayer::FaultFileLayer() : state_(std::make_shared<State>()) {}
FaultFileLayer::~FaultFileLayer() = default;

void FaultFileLayer::put(const std::string& path, Bytes bytes) {
    auto node = std::make_shared<Node>();
    node->durable = bytes;
    node->current = std::move(bytes);
    state_->names[path] = node;
    state_->durableNames[path] = node;
}

std::optional<Bytes> FaultFileLayer::content(const std::string& path) const {
    auto it = state_->names.find(path);
    if (it == state_->names.end()) return std::nullopt;
    return it->second->current;
}

std::uint64_t FaultFileLayer::changes() const { return state_->changes; }
void FaultFileLayer::crashAfter(std::uint64_t n) { state_->crashAt = state_->changes + n; }
bool FaultFileLayer::crashed() const { return state_->crashed; }
void FaultFileLayer::setSpaceLimit(std::uint64_t bytes) { state_->spaceLimit = bytes; }
void FaultFileLayer::setCreateDenied(bool denied) { state_->createDenied = denied; }

std::map<std::string, Bytes> FaultFileLayer::disk(const std::function<bool()>& reached) const {
    Names names = state_->durableNames;
    for (const NameChange& c : state_->pendingNames) {
        if (!reached()) continue;
        if (c.node) names[c.path] = c.node;
        else names.erase(c.path);
    }
    std::map<std::string, Bytes> files;
    for (const auto& [path, node] : names) {
        Bytes bytes = node->durable;
        for (const Change& c : node->pending)
            if (reached()) c.applyTo(bytes);
        files[path] = std::move(bytes);
    }
    return files;
}

// Locks are not modelled: every lock is granted.
Status FaultFileLayer::open(const std::string& path, Access access, Lock, std::unique_ptr<File>* out) {
    JET_TRY(state_->alive());
    auto it = state_->names.find(path);
    std::shared_ptr<Node> node;
    if (access == Access::Create) {
        if (state_->createDenied) return osError(EACCES, "");
        JET_TRY(state_->change());
        if (it != state_->names.end()) {
            node = it->second;
            node->change(Change{true, 0, {}});
        } else {
            node = std::make_shared<Node>();
            state_->names[path] = node;
            state_->pendingNames.push_back({path, node});
        }
    } else {
        if (it == state_->names.end()) return osError(ENOENT, "");
        node = it->second;
    }
    *out = std::make_unique<FaultFile>(state_, node, access != Access::Read);
    return Status::OK();
}

bool FaultFileLayer::exists(const std::string& path) { return state_->names.count(path) > 0; }

Status FaultFileLayer::remove(const std::string& path) {
    JET_TRY(state_->change());
    if (state_->names.erase(path) == 0) return osError(ENOENT, "Súbor sa nedá zmazať");
    state_->pendingNames.push_back({path, nullptr});
    return Status::OK();
}

Status FaultFileLayer::syncFolder(const std::string&) {
    JET_TRY(state_->change());
    state_->durableNames = state_->names;
    state_->pendingNames.clear();
    return Status::OK();
}

} // namespace jet

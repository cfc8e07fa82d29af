#include "support/fault_file_layer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <vector>

namespace jet {
namespace {

constexpr std::uint64_t kNever = std::numeric_limits<std::uint64_t>::max();

// One write, or a truncation to `offset` (no data).
struct Change {
    bool truncate = false;
    std::uint64_t offset = 0;
    Bytes data;

    void applyTo(Bytes& bytes) const {
        bytes.resize(truncate ? offset : std::max<std::uint64_t>(bytes.size(), offset + data.size()));
        std::copy(data.begin(), data.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    }
};

struct Node {
    Bytes durable, current;
    std::vector<Change> pending; // since the last flush

    void change(Change c) {
        c.applyTo(current);
        pending.push_back(std::move(c));
    }
};

using Names = std::map<std::string, std::shared_ptr<Node>>;

} // namespace

struct FaultFileLayer::State {
    Names names, durableNames;
    // Changes of names since the last folder flush, each all or nothing
    // (a rename is two); a null node: removed.
    std::vector<std::vector<std::pair<std::string, std::shared_ptr<Node>>>> pendingNames;
    std::uint64_t changes = 0, crashAt = kNever, failAt = kNever;
    bool crashed = false;

    Status alive() const { return crashed ? osError(EIO, "Počítač sa zastavil") : Status::OK(); }

    // Counts one change to the disk, or fails or crashes instead of making it.
    Status change() {
        JET_TRY(alive());
        if (changes == failAt) {
            failAt = kNever;
            return osError(EIO, "Zápis zlyhal");
        }
        crashed = changes >= crashAt;
        JET_TRY(alive());
        ++changes;
        return Status::OK();
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
        if (n > 0) std::memcpy(buf, node_->current.data() + offset, n); // an empty file has no data()
        return Status::OK();
    }

    Status write(std::uint64_t offset, const void* buf, std::size_t n) override {
        JET_TRY(state_->alive());
        if (!writable_) return osError(EBADF, "Zápis do súboru zlyhal");
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
    node->durable = node->current = std::move(bytes);
    state_->names[path] = state_->durableNames[path] = node;
}

std::optional<Bytes> FaultFileLayer::content(const std::string& path) const {
    auto it = state_->names.find(path);
    if (it == state_->names.end()) return std::nullopt;
    return it->second->current;
}

std::uint64_t FaultFileLayer::changes() const { return state_->changes; }
void FaultFileLayer::crashAfter(std::uint64_t n) { state_->crashAt = state_->changes + n; }
bool FaultFileLayer::crashed() const { return state_->crashed; }
void FaultFileLayer::failAfter(std::uint64_t n) { state_->failAt = state_->changes + n; }

std::map<std::string, Bytes> FaultFileLayer::disk(const std::function<bool()>& reached) const {
    Names names = state_->durableNames;
    for (const auto& change : state_->pendingNames) {
        if (!reached()) continue;
        for (const auto& [path, node] : change) {
            if (node) names[path] = node;
            else names.erase(path);
        }
    }
    std::map<std::string, Bytes> files;
    for (const auto& [path, node] : names) {
        Bytes& bytes = files[path] = node->durable;
        for (const Change& c : node->pending)
            if (reached()) c.applyTo(bytes);
    }
    return files;
}

// Locks are not modelled: every lock is granted.
Status FaultFileLayer::open(const std::string& path, Access access, Lock, std::unique_ptr<File>* out) {
    JET_TRY(state_->alive());
    auto it = state_->names.find(path);
    std::shared_ptr<Node> node = it == state_->names.end() ? nullptr : it->second;
    if (access == Access::Create) {
        JET_TRY(state_->change());
        if (node) {
            node->change(Change{true, 0, {}});
        } else {
            node = state_->names[path] = std::make_shared<Node>();
            state_->pendingNames.push_back({{path, node}});
        }
    } else if (!node) {
        return osError(ENOENT, "");
    }
    *out = std::make_unique<FaultFile>(state_, node, access != Access::Read);
    return Status::OK();
}

bool FaultFileLayer::exists(const std::string& path) { return state_->names.count(path) > 0; }

Status FaultFileLayer::remove(const std::string& path) {
    JET_TRY(state_->change());
    if (state_->names.erase(path) == 0) return osError(ENOENT, "Súbor sa nedá zmazať");
    state_->pendingNames.push_back({{path, nullptr}});
    return Status::OK();
}

Status FaultFileLayer::rename(const std::string& from, const std::string& to) {
    JET_TRY(state_->change());
    auto it = state_->names.find(from);
    if (it == state_->names.end() || state_->names.count(to)) return osError(ENOENT, "Súbor sa nedá premenovať");
    std::shared_ptr<Node> node = it->second;
    state_->names.erase(it);
    state_->names[to] = node;
    state_->pendingNames.push_back({{from, nullptr}, {to, node}});
    return Status::OK();
}

Status FaultFileLayer::syncFolder(const std::string&) {
    JET_TRY(state_->change());
    state_->durableNames = state_->names;
    state_->pendingNames.clear();
    return Status::OK();
}

} // namespace jet

// Files kept in memory: a "disk" that can fail one change, or crash after a
// given number of changes. It remembers what has been flushed, so
// that after a crash one can ask what the disk would hold, with or without
// the writes that were never flushed.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "jet/io/file_layer.h"
#include "jet/value.h"

namespace jet {

class FaultFileLayer final : public FileLayer {
public:
    FaultFileLayer();
    ~FaultFileLayer() override;

    // Puts a file on the disk as if it had been there all along (flushed).
    void put(const std::string& path, Bytes bytes);
    // What the program sees now; nullopt when the file does not exist.
    std::optional<Bytes> content(const std::string& path) const;

    // Changes (writes, flushes, truncations, creations, removals) made so far.
    std::uint64_t changes() const;
    // The change after the next `n` ones does not happen: the machine stops,
    // every later operation fails.
    void crashAfter(std::uint64_t n);
    bool crashed() const;
    // The change after the next `n` ones fails as a device error would; the
    // ones after it are made.
    void failAfter(std::uint64_t n);
    // What the disk holds after the crash. `reached` is asked, in order, for
    // every unflushed change whether it got to the disk anyway.
    std::map<std::string, Bytes> disk(const std::function<bool()>& reached) const;

    Status open(const std::string& path, Access access, Lock lock, std::unique_ptr<File>* out) override;
    bool exists(const std::string& path) override;
    Status remove(const std::string& path) override;
    Status rename(const std::string& from, const std::string& to) override;
    Status syncFolder(const std::string& path) override;

    struct State;

private:
    std::shared_ptr<State> state_;
};

} // namespace jet

// Files kept in memory, for tests: a "disk" that can fill up, refuse to
// create files, or crash after a given number of changes. It remembers what
// has been flushed, so that after a crash one can ask what the disk would
// hold, with or without the writes that were never flushed.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jet/io/file_layer.h"
#include "jet/value.h"

namespace jet {

class FaultFileLayer final : public FileLayer {
public:
    FaultFileLayer();
    ~FaultFileLayer() override;

    // Puts a file on the disk as if it had been there all along (flushed).
    void put(const std::string& path, Bytes bytes);
    // The content the program sees now; nullopt when the file does not exist.
    std::optional<Bytes> content(const std::string& path) const;

    // Changes to the disk (writes, flushes, truncations, creations, removals)
    // counted since the layer was made.
    std::uint64_t changes() const;
    // The change after the next `n` ones does not happen: the machine stops.
    // From then on every operation fails and nothing reaches the disk.
    void crashAfter(std::uint64_t n);
    bool crashed() const;
    // What the disk holds after the crash. `reached` is asked, in order, for
    // every change that was never flushed whether it got to the disk anyway:
    // always true keeps them all, always false drops them all.
    std::map<std::string, Bytes> disk(const std::function<bool()>& reached) const;

    // Writes that would make all files together larger than `bytes` fail
    // with "no space left on the device".
    void setSpaceLimit(std::uint64_t bytes);
    // Creating files fails with "permission denied", as in a folder one may
    // not write to.
    void setCreateDenied(bool denied);

    Status open(const std::string& path, Access access, Lock lock, std::unique_ptr<File>* out) override;
    bool exists(const std::string& path) override;
    Status remove(const std::string& path) override;
    Status syncFolder(const std::string& path) override;

    struct State;

private:
    std::shared_ptr<State> state_;
};

} // namespace jet

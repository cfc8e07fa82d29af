#include "tests/fuzz/read_whole.h"

#include <memory>
#include <ostream>
#include <streambuf>
#include <vector>

#include "jet/db/database_impl.h"
#include "jet/dump_json.h"
#include "support/fault_file_layer.h"

namespace fuzz {
namespace {

// Discards what is written, so the dump costs only its own work.
class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

} // namespace

Outcome readWhole(const std::uint8_t* data, std::size_t size) {
    auto layer = std::make_shared<jet::FaultFileLayer>();
    const std::string path = "/fuzz/input.mdb";
    layer->put(path, jet::Bytes(data, data + size));

    jet::Pager::Options options;
    options.file = layer;
    options.cachePages = 64; // small, so that eviction is exercised too

    Outcome out;
    std::unique_ptr<jet::Database> db;
    out.open = jet::Database::open(path, jet::Pager::Mode::ReadOnly, options, &db);
    if (!out.open.ok()) return out;

    NullBuffer sink;
    std::ostream stream(&sink);
    out.dump = jet::writeDump(*db, stream);
    out.check = jet::checkDatabase(*db, &out.report);
    return out;
}

} // namespace fuzz

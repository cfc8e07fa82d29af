#include "jet/db/database_impl.h"

#include <algorithm>

#include "jet/io/file_layer.h"
#include "jet/text.h"

namespace jet {
namespace {

// Tells Jet 3 and ACE files, which the page file refuses by their size,
// from files that are not Jet at all. The header is read through the same
// file layer as the pages.
Status sniff(FileLayer& files, const std::string& path, Status pagerStatus) {
    std::unique_ptr<File> file;
    std::uint64_t size = 0;
    if (!files.open(path, FileLayer::Access::Read, FileLayer::Lock::None, &file).ok() || !file->size(&size).ok())
        return pagerStatus;
    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(size, kPageSize)));
    if (head.empty() || !file->read(0, head.data(), head.size()).ok()) return pagerStatus;
    Header ignored;
    Status s = parseHeader(head, &ignored);
    return s.code() == Status::Code::Unsupported ? s : pagerStatus;
}

} // namespace

const char* formatName(Format f) {
    switch (f) {
    case Format::V2000: return "V2000";
    case Format::V2003: return "V2003";
    default: return "GENERIC_JET4";
    }
}

double lastCommitWindow() { return Pager::lastCommitWindow(); }

bool lessIgnoreCase(std::string_view a, std::string_view b) {
    std::u16string x = fromUtf8(a), y = fromUtf8(b);
    int c = compareIgnoreCase(x, y);
    return c != 0 ? c < 0 : x < y;
}

Status Database::open(const std::string& path, OpenMode mode, std::unique_ptr<Database>* out) {
    return open(path, mode, OpenOptions{}, out);
}

Status Database::open(const std::string& path, OpenMode mode, const OpenOptions& options,
                      std::unique_ptr<Database>* out) {
    auto db = std::make_unique<DatabaseImpl>();
    Status s = Pager::open(path, mode, options, &db->pager_);
    if (s.code() == Status::Code::NotJet) return sniff(options.file ? *options.file : *systemFileLayer(), path, s);
    JET_TRY(s);
    JET_TRY(db->load());
    *out = std::move(db);
    return Status::OK();
}

Status DatabaseImpl::load() {
    session_ = std::make_shared<WriteSession>(*pager_);
    PageRef page0;
    JET_TRY(pager_->read(0, &page0));
    JET_TRY(parseHeader(page0->bytes, &header_));
    JET_TRY(readCatalog(*pager_, &catalog_));
    if (!catalog_.databaseProperties.empty()) JET_TRY(parseProperties(catalog_.databaseProperties, "", &properties_));
    Value version;
    if (property("AccessVersion", &version).ok()) {
        if (auto* text = std::get_if<std::u16string>(&version)) {
            if (*text == u"08.50") format_ = Format::V2000;
            if (*text == u"09.50") format_ = Format::V2003;
        }
    }
    return Status::OK();
}

std::vector<std::string> DatabaseImpl::userTables() const {
    std::vector<std::string> names;
    for (const TableInfo& t : catalog_.tables)
        if (t.kind == TableInfo::Kind::User) names.push_back(t.name);
    std::sort(names.begin(), names.end(), lessIgnoreCase);
    return names;
}

const TableInfo* DatabaseImpl::findTable(std::string_view name) const {
    std::u16string wanted = fromUtf8(name);
    for (const TableInfo& t : catalog_.tables)
        if (equalsIgnoreCase(fromUtf8(t.name), wanted)) return &t;
    return nullptr;
}

Status DatabaseImpl::openTable(std::string_view name, std::unique_ptr<Table>* out) {
    const TableInfo* info = findTable(name);
    if (!info) return Status::error(Status::Code::NotFound, "Tabuľka " + std::string(name) + " v databáze neexistuje.");
    if (info->kind == TableInfo::Kind::Linked)
        return Status::error(Status::Code::Unsupported,
                             "Tabuľka " + info->name + " je prepojená z iného súboru a nedá sa otvoriť.");
    JET_TRY(session_->flush());
    std::shared_ptr<TableDef> def;
    JET_TRY(session_->definition(info->firstPage, &def));
    *out = std::make_unique<TableImpl>(session_, info->name, std::move(def));
    return Status::OK();
}

Status DatabaseImpl::property(std::string_view name, Value* out) const {
    for (const Property& p : properties_) {
        if (equalsIgnoreCase(p.name, name)) {
            *out = p.value;
            return Status::OK();
        }
    }
    return Status::error(Status::Code::NotFound, "Databáza nemá vlastnosť " + std::string(name) + ".");
}

} // namespace jet

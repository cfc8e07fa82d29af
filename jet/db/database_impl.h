// The engine's side of a database: header, catalogue, pager and the write
// session that takes appends.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/database.h"
#include "jet/format/header.h"
#include "jet/io/pager.h"
#include "jet/table/catalog.h"
#include "jet/table/properties.h"
#include "jet/table/table_impl.h"
#include "jet/table/write_session.h"

namespace jet {

class DatabaseImpl final : public Database {
public:
    // Tables left open can no longer take rows.
    ~DatabaseImpl() override {
        if (session_) session_->close();
    }
    Format format() const override { return format_; }
    const Header& header() const { return header_; }
    std::uint16_t codePage() const override { return header_.codePage; }
    std::uint16_t sortOrder() const override { return header_.sortOrder; }

    // Every table of the catalogue (user, system and linked) in catalogue order.
    const std::vector<TableInfo>& tables() const { return catalog_.tables; }
    std::vector<std::string> userTables() const override;
    // The catalogue entry of that name, ignoring letter case; null when none.
    const TableInfo* findTable(std::string_view name) const;
    Status openTable(std::string_view name, std::unique_ptr<Table>* out) override;

    // Database properties in stored order.
    const std::vector<Property>& properties() const { return properties_; }
    Status property(std::string_view name, Value* out) const override;

    Pager& pager() { return *pager_; }

    Status begin() override { return session_->begin(); }
    Status commit() override { return session_->commit(); }
    Status rollback() override { return session_->rollback(); }

private:
    friend class Database;
    Status load();

    std::unique_ptr<Pager> pager_;
    std::shared_ptr<WriteSession> session_; // made by load(); shared with the open tables
    Header header_;
    Format format_ = Format::GenericJet4;
    Catalog catalog_;
    std::vector<Property> properties_;
};

// Every Database is a DatabaseImpl.
inline DatabaseImpl& impl(Database& db) { return static_cast<DatabaseImpl&>(db); }
inline const DatabaseImpl& impl(const Database& db) { return static_cast<const DatabaseImpl&>(db); }

} // namespace jet

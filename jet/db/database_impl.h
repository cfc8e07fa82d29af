// The engine's side of a database: header, catalogue, pager and the table
// writers that take appends.
#pragma once

#include <cstdint>
#include <map>
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

namespace jet {

class TableWriter;

class DatabaseImpl final : public Database, private TableOwner {
public:
    DatabaseImpl();
    ~DatabaseImpl() override;

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

    Status begin() override;
    Status commit() override;
    Status rollback() override;

private:
    friend class Database;
    Status load();
    void opened(TableImpl* table) override;
    void closed(TableImpl* table) override;
    Status append(TableDef* mirror, std::vector<Value>* row) override;
    Status appendInTransaction(TableDef* mirror, std::vector<Value>* row);
    Status flushWrites() override;
    // After a rollback the open tables read their counters again, so that
    // none shows what a rolled-back append left.
    Status reloadOpenTables();

    std::unique_ptr<Pager> pager_;
    Header header_;
    Format format_ = Format::GenericJet4;
    Catalog catalog_;
    std::vector<Property> properties_;
    std::vector<TableImpl*> openTables_;                            // tables opened here and not yet closed
    std::map<std::uint32_t, std::unique_ptr<TableWriter>> writers_; // by TDEF page
    TableWriter* lastWriter_ = nullptr;                             // the one that took the last row
    Status pendingFailure_;                                         // an append that failed inside the open transaction
};

// Every Database is a DatabaseImpl.
inline DatabaseImpl& impl(Database& db) { return static_cast<DatabaseImpl&>(db); }
inline const DatabaseImpl& impl(const Database& db) { return static_cast<const DatabaseImpl&>(db); }

} // namespace jet

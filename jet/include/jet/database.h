// An open Jet 4 database: header, catalogue, database properties and tables.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/table/catalog.h"
#include "jet/format/header.h"
#include "jet/io/pager.h"
#include "jet/table/properties.h"
#include "jet/status.h"
#include "jet/table.h"
#include "jet/value.h"

namespace jet {

// Jet 4 files written by Access 2000 and 2002/2003 differ only in the
// AccessVersion property; engine-made files carry none.
enum class Format { GenericJet4, V2000, V2003 };
const char* formatName(Format f); // "GENERIC_JET4", "V2000", "V2003"

class TableWriter;

class Database : private TableOwner {
public:
    Database();
    ~Database();

    // Opens and locks the file (Exclusive: nobody else may open it until
    // close). A file that is not Jet is NotJet; Jet 3, ACE, encrypted and
    // password-protected files are Unsupported or AccessDenied.
    static Status open(const std::string& path, Pager::Mode mode, std::unique_ptr<Database>* out);
    static Status open(const std::string& path, Pager::Mode mode, const Pager::Options& options,
                       std::unique_ptr<Database>* out);

    Format format() const { return format_; }
    const Header& header() const { return header_; }
    std::uint16_t codePage() const { return header_.codePage; }
    std::uint16_t sortOrder() const { return header_.sortOrder; }

    // Every table of the catalogue (user, system and linked) in catalogue order.
    const std::vector<TableInfo>& tables() const { return catalog_.tables; }
    // Names of the local user tables, sorted ignoring letter case.
    std::vector<std::string> userTables() const;
    // The table of that name, ignoring letter case; NotFound when there is
    // none, Unsupported for a linked table.
    const TableInfo* findTable(std::string_view name) const;
    Status openTable(std::string_view name, std::unique_ptr<Table>* out);

    // Database properties (those of the MSysDb object), in stored order.
    const std::vector<Property>& properties() const { return properties_; }
    // The property of that name, ignoring letter case; NotFound when missing.
    Status property(std::string_view name, Value* out) const;

    Pager& pager() { return *pager_; }

    // One transaction around any number of appends to any tables (the file
    // must be open Exclusive). An append outside a transaction runs in one
    // of its own. After an append failed other than by a refusal, the
    // transaction only accepts rollback().
    Status begin();
    Status commit();
    Status rollback();

private:
    Status load();
    void opened(Table* table) override;
    void closed(Table* table) override;
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
    std::vector<Table*> openTables_; // tables opened here and not yet closed
    std::map<std::uint32_t, std::unique_ptr<TableWriter>> writers_; // by TDEF page
    TableWriter* lastWriter_ = nullptr; // the one that took the last row
    Status failed_; // an append that failed inside the open transaction
};

// Sorts names ignoring letter case, ties in plain code-unit order.
bool lessIgnoreCase(std::string_view a, std::string_view b);

} // namespace jet

// An open Jet 4 database: its format, database properties and tables, and
// transactions around appends.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "jet/options.h"
#include "jet/status.h"
#include "jet/table.h"
#include "jet/value.h"

namespace jet {

// Jet 4 files written by Access 2000 and 2002/2003 differ only in the
// AccessVersion property; engine-made files carry none.
enum class Format { GenericJet4, V2000, V2003 };
const char* formatName(Format f); // "GENERIC_JET4", "V2000", "V2003"

class Database {
public:
    // Opens and locks the file (Exclusive: nobody else may open it until
    // close, and a log can be made beside it; ReadOnly: nobody may write to
    // it until close). A file that is not Jet is NotJet; Jet 3, ACE,
    // encrypted and password-protected files are Unsupported or AccessDenied.
    static Status open(const std::string& path, OpenMode mode, std::unique_ptr<Database>* out);
    static Status open(const std::string& path, OpenMode mode, const OpenOptions& options,
                       std::unique_ptr<Database>* out);

    virtual ~Database() = default;
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    virtual Format format() const = 0;
    virtual std::uint16_t codePage() const = 0;
    virtual std::uint16_t sortOrder() const = 0;

    // Names of the local user tables, sorted ignoring letter case.
    virtual std::vector<std::string> userTables() const = 0;
    // The table of that name, ignoring letter case; NotFound when there is
    // none, Unsupported for a linked table.
    virtual Status openTable(std::string_view name, std::unique_ptr<Table>* out) = 0;

    // The database property (of the MSysDb object) of that name, ignoring
    // letter case; NotFound when missing.
    virtual Status property(std::string_view name, Value* out) const = 0;

    // One transaction around any number of appends to any tables (the file
    // must be open Exclusive). An append outside a transaction runs in one
    // of its own. After an append failed other than by a refusal, the
    // transaction only accepts rollback().
    virtual Status begin() = 0;
    virtual Status commit() = 0;
    virtual Status rollback() = 0;

protected:
    Database() = default;
};

// Sorts names ignoring letter case, ties in plain code-unit order.
bool lessIgnoreCase(std::string_view a, std::string_view b);

// Of the last commit in this process: seconds from the first write of a
// logged page into the file to its last flush, the time in which the file
// holds neither its old nor its new state (for the benchmarks).
double lastCommitWindow();

} // namespace jet

// The system catalogue (MSysObjects): which tables the file holds and where
// their definitions are, and the database object with its properties.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/io/pager.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet {

constexpr std::uint32_t kCatalogPage = 2;

struct TableInfo {
    enum class Kind { User, System, Linked };
    std::string name; // UTF-8
    Kind kind = Kind::User;
    std::uint32_t firstPage = 0; // TDEF page; 0 for linked tables
    bool hidden = false;
};

struct Catalog {
    std::vector<TableInfo> tables; // in catalogue order
    Bytes databaseProperties;      // the MSysDb property blob; empty when none
};

Status readCatalog(Pager& pager, Catalog* out);

} // namespace jet

// What the merge needs from the engine's write side, and the one place where
// it calls it. Until the engine offers these, the calls compile to a refusal
// of the whole run (kWriterAvailable is false); they switch on by themselves
// when the engine gains them.
//
// Needed, with the meaning relied on:
//   Status jet::Table::append(std::vector<jet::Value>* row)
//       Stores one row (values in the definition's column order), keeps every
//       index of the table, fills AutoNumber columns into *row; a duplicate in
//       a unique index or a missing required value is Code::Refused and
//       changes nothing.
//   Status jet::Table::canAppend() const
//       Ok when rows can be appended to this table at all; otherwise why not.
//   Status jet::Database::begin(), commit(), rollback()
//       One transaction around many appends on any of the database's tables.
#pragma once

#include <concepts>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/status.h"
#include "jet/table.h"
#include "jet/value.h"

namespace merge::writer {

template <class T>
constexpr bool hasAppend = requires(T& table, const T& constTable, std::vector<jet::Value>* row) {
    { table.append(row) } -> std::same_as<jet::Status>;
    { constTable.canAppend() } -> std::same_as<jet::Status>;
};
template <class D>
constexpr bool hasTransactions = requires(D& db) {
    { db.begin() } -> std::same_as<jet::Status>;
    { db.commit() } -> std::same_as<jet::Status>;
    { db.rollback() } -> std::same_as<jet::Status>;
};

inline constexpr bool kWriterAvailable = hasAppend<jet::Table> && hasTransactions<jet::Database>;

inline jet::Status unavailable() {
    return jet::Status::error(jet::Status::Code::Unsupported, "Zápis do databázy zatiaľ nie je k dispozícii");
}

template <class T = jet::Table>
jet::Status append(T& table, std::vector<jet::Value>* row) {
    if constexpr (hasAppend<T>) return table.append(row);
    else return unavailable();
}

template <class T = jet::Table>
jet::Status canAppend(const T& table) {
    if constexpr (hasAppend<T>) return table.canAppend();
    else return unavailable();
}

enum class Txn { Begin, Commit, Rollback };

template <class D = jet::Database>
jet::Status transaction(D& db, Txn step) {
    if constexpr (hasTransactions<D>) {
        switch (step) {
        case Txn::Begin: return db.begin();
        case Txn::Commit: return db.commit();
        case Txn::Rollback: return db.rollback();
        }
        return jet::Status::ok();
    } else {
        return unavailable();
    }
}

} // namespace merge::writer

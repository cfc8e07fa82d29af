#include "jet/io/leftover.h"

#include <algorithm>
#include <ctime>

#include "jet/io/legacy_journal.h"

namespace jet {

namespace {

using Code = Status::Code;

// "<leftover>.nepatri-20250131-235959", with "-2", "-3"... when taken.
std::string setAsideName(FileLayer& files, const std::string& leftover) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = leftover + kSetAsideInfix + stamp;
    std::string name = base;
    for (int k = 2; files.exists(name); ++k) name = base + "-" + std::to_string(k);
    return name;
}

// A leftover that does not fit the database: a writer renames it; both say so.
Status setAside(FileLayer& files, const std::string& path, const std::string& leftover, const std::string& why,
                bool writer, std::vector<OpenNotice>* notices) {
    const std::string text = "Pomocný súbor " + leftover + " sa nedá použiť pre databázu " + path + ": " + why + ".";
    if (!writer) {
        notices->push_back({OpenNotice::Kind::SetAside,
                            text + " Nebol použitý a databáza sa číta tak, ako je; pri najbližšom otvorení na "
                                   "zápis sa pomocný súbor premenuje."});
        return Status::OK();
    }
    const std::string aside = setAsideName(files, leftover);
    Status st = files.rename(leftover, aside);
    if (st.ok()) st = files.syncFolder(aside);
    if (!st.ok())
        return Status::error(st.code(), text + " Nedá sa ani premenovať, a tak sa databáza neotvorí. " + st.message());
    notices->push_back(
        {OpenNotice::Kind::SetAside,
         text + " Nebol použitý, databáza zostala bez zmeny a pomocný súbor bol premenovaný na " + aside + "."});
    return Status::OK();
}

Status failedOn(const std::string& leftover, const Status& st) {
    if (st.ok()) return st;
    return Status::error(st.code(), "Prerušený zápis (" + leftover + ") sa nepodarilo spracovať. " + st.message());
}

// A journal of an earlier release: the database may be partly overwritten
// and is unusable until the journal is played back, which only a writer may
// do.
Status settleJournal(FileLayer& files, const std::string& path, const std::string& journal, bool writer, File& database,
                     std::vector<OpenNotice>* notices) {
    LegacyJournal found;
    JET_TRY(failedOn(journal, examineLegacyJournal(files, journal, database, &found)));
    switch (found.kind) {
    case LegacyJournal::Kind::Unusable: return setAside(files, path, journal, found.unusable, writer, notices);
    case LegacyJournal::Kind::Unstarted: return writer ? failedOn(journal, files.removeDurably(journal)) : Status::OK();
    case LegacyJournal::Kind::Fits: break;
    }
    if (!writer)
        return Status::error(Code::Corrupt, "Zápis do súboru bol prerušený a súbor sa musí najprv obnoviť; "
                                            "otvorte ho na zápis.");
    JET_TRY(failedOn(journal, playBackLegacyJournal(files, journal, database)));
    return failedOn(journal, files.removeDurably(journal));
}

Status settleLog(FileLayer& files, const std::string& path, const std::string& log, bool writer, File& database,
                 std::uint64_t* size, std::unique_ptr<WriteAheadLog>* committed, std::vector<OpenNotice>* notices) {
    LeftoverLog leftover;
    JET_TRY(failedOn(log, readLeftoverLog(files, log, &leftover)));
    std::string why = leftover.unusable;
    if (leftover.kind == LeftoverLog::Kind::Usable) JET_TRY(failedOn(log, mismatch(leftover, database, &why)));
    if (leftover.kind == LeftoverLog::Kind::Unstarted)
        return writer ? failedOn(log, files.removeDurably(log)) : Status::OK();
    if (!why.empty()) {
        leftover.committed.reset(); // closed before it is renamed
        return setAside(files, path, log, why, writer, notices);
    }
    if (!writer) {
        if (!leftover.committed)
            *size = std::min<std::uint64_t>(*size, std::uint64_t{leftover.originalPages} * kPageSize);
        *committed = std::move(leftover.committed);
        return Status::OK();
    }
    JET_TRY(failedOn(log, applyLeftoverLog(leftover, database)));
    const bool finished = leftover.committed != nullptr;
    leftover.committed.reset(); // closed before it is deleted
    JET_TRY(failedOn(log, files.removeDurably(log)));
    if (finished)
        notices->push_back({OpenNotice::Kind::Completed,
                            "Zápis do súboru " + path + ", ktorý bol prerušený až po uložení, bol dokončený."});
    return database.size(size);
}

} // namespace

Status settleLeftovers(FileLayer& files, const std::string& path, const std::string& real, bool writer, File& database,
                       std::uint64_t* size, std::unique_ptr<WriteAheadLog>* committed,
                       std::vector<OpenNotice>* notices) {
    committed->reset();
    const std::string journal = legacyJournalPathOf(real);
    if (files.exists(journal)) JET_TRY(settleJournal(files, path, journal, writer, database, notices));
    JET_TRY(database.size(size));
    const std::string log = logPathOf(real);
    if (files.exists(log)) JET_TRY(settleLog(files, path, log, writer, database, size, committed, notices));
    return Status::OK();
}

} // namespace jet

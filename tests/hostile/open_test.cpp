// Opening files that are not Jet 4 databases, or damaged ones, ends in a
// clear Status, whether the file is reached through the operating system or
// through the in-memory layer.
#include <gtest/gtest.h>

#include "hostile_files.h"
#include "jet/db/database_impl.h"
#include "support/fault_file_layer.h"
#include "jet/io/wal.h"

namespace hostile {
namespace {

namespace fs = std::filesystem;
using Code = jet::Status::Code;

struct Case {
    const char* name;
    Bytes bytes;
    Code code;
    const char* says; // part of the message
};

std::vector<Case> foreignFiles() {
    Bytes blank = fixture("blank.mdb"), encrypted = fixture("sample.mdb");
    encrypted[0x3E] ^= 0x01; // the key lies in the masked region
    return {
        {"empty", {}, Code::NotJet, "prázdny"},
        {"zeros", Bytes(8 * 4096, 0), Code::NotJet, "nie je databáza Jet"},
        {"text", text(), Code::NotJet, "nie je databáza Jet"},
        {"cut mid-page", prefix(blank, 10000), Code::NotJet, "10000"},
        {"header page only", prefix(blank, 4096), Code::NotJet, "4096"},
        {"cut after the catalogue", prefix(blank, 8 * 4096), Code::Corrupt, "za koncom"},
        {"Jet 3, odd 2 KiB pages", jet3(7), Code::Unsupported, "Jet 3"},
        {"Jet 3, even 2 KiB pages", jet3(8), Code::Unsupported, "Jet 3"},
        {"Jet 3, one 2 KiB page", jet3(1), Code::Unsupported, "Jet 3"},
        {"ACE", ace(), Code::Unsupported, "ACE"},
        {"encrypted", encrypted, Code::Unsupported, "šifrovaná"},
        {"unknown version", withHeader(0x07, "Standard Jet DB", 16 * 4096), Code::Unsupported, "neznámej verzie"},
    };
}

void expectRefused(const Case& c, const jet::Status& st, const char* how) {
    EXPECT_EQ(st.code(), c.code) << c.name << " " << how << ": " << st.message();
    EXPECT_NE(st.message().find(c.says), std::string::npos) << c.name << " " << how << ": " << st.message();
    EXPECT_EQ(st.message().find('\n'), std::string::npos) << c.name;
}

TEST(HostileOpen, ForeignAndDamagedFilesAreRefusedAlikeOnDiskAndInMemory) {
    test_files::ScratchDir dir("hostile-open");
    for (const Case& c : foreignFiles()) {
        fs::path path = dir / "file.mdb";
        writeAll(path, c.bytes);
        for (jet::Pager::Mode mode : {jet::Pager::Mode::ReadOnly, jet::Pager::Mode::Exclusive}) {
            std::unique_ptr<jet::Database> db;
            expectRefused(c, jet::Database::open(path.string(), mode, &db), "on disk");
            EXPECT_EQ(readAll(path), c.bytes) << c.name; // a refused open writes nothing

            auto layer = std::make_shared<jet::FaultFileLayer>();
            layer->put("/mem/file.mdb", c.bytes);
            jet::Pager::Options options;
            options.file = layer;
            expectRefused(c, jet::Database::open("/mem/file.mdb", mode, options, &db), "in memory");
        }
    }
}

// A file opened through a relative link from another folder keeps its log
// beside itself, where an open by its own name finds it.
TEST(HostileOpen, LogOfAFileReachedThroughALinkLiesBesideTheFile) {
    test_files::ScratchDir dir("hostile-link");
    fs::create_directories(dir / "súbory");
    fs::create_directories(dir / "odkazy");
    fs::path real = dir / "súbory" / "cieľ.mdb", link = dir / "odkazy" / "odkaz.mdb";
    writeAll(real, fixture("blank.mdb"));
    fs::create_symlink(fs::path("..") / "súbory" / "cieľ.mdb", link);

    std::unique_ptr<jet::Pager> pager;
    ASSERT_TRUE(jet::Pager::open(link.string(), jet::Pager::Mode::Exclusive, &pager).ok());
    ASSERT_TRUE(pager->begin().ok());
    EXPECT_TRUE(fs::exists(jet::logPathOf(real.string())));
    EXPECT_FALSE(fs::exists(jet::logPathOf(link.string())));
}

} // namespace
} // namespace hostile

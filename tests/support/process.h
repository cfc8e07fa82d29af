// Running programs from tests: the command-line companion and mdb-export,
// the independent reader.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/files.h"

namespace test_files {

struct ProgramRun {
    int exit = -1;
    std::string out, err;
};

// Runs a shell command; standard output and standard error apart.
inline ProgramRun run(const std::string& command) {
    ScratchDir dir("velmorant-run");
    const std::string err = dir.file("err");
    ProgramRun r;
    FILE* pipe = popen((command + " 2>'" + err + "'").c_str(), "r");
    if (pipe == nullptr) return r;
    char buffer[65536];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
    const int status = pclose(pipe);
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const auto bytes = readAll(err);
    r.err.assign(bytes.begin(), bytes.end());
    return r;
}

inline fs::path cliPath() { return fs::path(VELMORANT_BIN_DIR) / "velmorant-cli"; }

// velmorant-cli with `arguments`; `input` (printf escapes allowed) on its
// standard input.
inline ProgramRun cli(const std::string& arguments, const std::string& input = "") {
    return run("printf '" + input + "' | '" + cliPath().string() + "' " + arguments);
}

inline bool haveMdbExport() { return std::system("command -v mdb-export >/dev/null 2>&1") == 0; }

// mdb-export's rows of the table without the header, fields split at tabs,
// no quoting, control characters escaped, "~" for Null, binary values in hex.
inline std::vector<std::vector<std::string>> mdbExport(const fs::path& file, const std::string& table) {
    const ProgramRun r = run("mdb-export -H -Q -e -d '\\t' -0 '~' -b hex '" + file.string() + "' '" + table + "'");
    EXPECT_EQ(r.exit, 0) << table << ": " << r.err;
    std::vector<std::vector<std::string>> rows;
    for (std::size_t start = 0; start < r.out.size();) {
        std::size_t end = r.out.find('\n', start);
        if (end == std::string::npos) end = r.out.size();
        std::vector<std::string> fields(1);
        for (std::size_t i = start; i < end; ++i) {
            if (r.out[i] == '\t') fields.emplace_back();
            else fields.back().push_back(r.out[i]);
        }
        rows.push_back(std::move(fields));
        start = end + 1;
    }
    return rows;
}

// Another process holding what `open` opens (null: it could not) until the
// object goes.
class HeldElsewhere {
public:
    explicit HeldElsewhere(const std::function<std::shared_ptr<void>()>& open) {
        if (::pipe(ready_) != 0 || ::pipe(release_) != 0 || (child_ = ::fork()) < 0) return;
        if (child_ == 0) {
            std::shared_ptr<void> held = open();
            char c = held ? 'y' : 'n';
            (void)!::write(ready_[1], &c, 1);
            (void)!::read(release_[0], &c, 1);
            ::_exit(0);
        }
        char c = 0;
        held_ = ::read(ready_[0], &c, 1) == 1 && c == 'y';
    }
    ~HeldElsewhere() {
        if (child_ > 0) {
            (void)!::write(release_[1], "x", 1);
            ::waitpid(child_, nullptr, 0);
        }
        for (int fd : {ready_[0], ready_[1], release_[0], release_[1]})
            if (fd >= 0) ::close(fd);
    }
    HeldElsewhere(const HeldElsewhere&) = delete;
    HeldElsewhere& operator=(const HeldElsewhere&) = delete;
    bool held() const { return held_; }

private:
    int ready_[2] = {-1, -1}, release_[2] = {-1, -1};
    pid_t child_ = -1;
    bool held_ = false;
};

} // namespace test_files

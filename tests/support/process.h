// Running programs from tests: the command-line companion, mdb-export, the
// independent reader, and the test's own second process.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "support/files.h"

namespace test_files {

struct ProgramRun {
    int exit = -1;
    std::string out, err;
};

// `path` quoted for the shell run() hands commands to (sh, or cmd on Windows).
inline std::string quoted(const fs::path& path) {
#ifdef _WIN32
    return "\"" + path.string() + "\"";
#else
    return "'" + path.string() + "'";
#endif
}

// Runs a shell command; standard output and standard error apart.
inline ProgramRun run(const std::string& command) {
    ScratchDir dir("velmorant-run");
    const std::string redirected = command + " 2>" + quoted(dir / "err");
    ProgramRun r;
#ifdef _WIN32
    // cmd drops the first and the last quote of a command that has more.
    FILE* pipe = _popen(("\"" + redirected + "\"").c_str(), "rb");
#else
    FILE* pipe = popen(redirected.c_str(), "r");
#endif
    if (pipe == nullptr) return r;
    char buffer[65536];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) r.out.append(buffer, n);
#ifdef _WIN32
    r.exit = _pclose(pipe);
#else
    const int status = pclose(pipe);
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    const auto bytes = readAll(dir / "err");
    r.err.assign(bytes.begin(), bytes.end());
    return r;
}

// A program built beside the tests.
inline fs::path programPath(const std::string& name) {
#ifdef _WIN32
    return fs::path(VELMORANT_BIN_DIR) / (name + ".exe");
#else
    return fs::path(VELMORANT_BIN_DIR) / name;
#endif
}

inline fs::path cliPath() { return programPath("velmorant-cli"); }

// velmorant-cli with `arguments`; `input` on its standard input.
inline ProgramRun cli(const std::string& arguments, const std::string& input = "") {
    ScratchDir dir("velmorant-input");
    writeAll(dir / "in", std::vector<std::uint8_t>(input.begin(), input.end()));
    return run(quoted(cliPath()) + " " + arguments + " <" + quoted(dir / "in"));
}

inline bool haveMdbExport() {
#ifdef _WIN32
    return false; // a Linux program
#else
    return std::system("command -v mdb-export >/dev/null 2>&1") == 0;
#endif
}

// mdb-export's rows of the table without the header, fields split at tabs,
// no quoting, control characters escaped, "~" for Null, binary values in hex.
inline std::vector<std::vector<std::string>> mdbExport(const fs::path& file, const std::string& table) {
    const ProgramRun r = run("mdb-export -H -Q -e -d '\\t' -0 '~' -b hex '" + file.string() + "' '" + table + "'");
    EXPECT_EQ(r.exit, 0) << table << ": " << r.err;
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string>& fields = rows.emplace_back(1);
        for (char c : line) {
            if (c == '\t') fields.emplace_back();
            else fields.back().push_back(c);
        }
    }
    return rows;
}

// Another process, velmorant-test-child (tests/support/child_main.cpp),
// holding the database file at `path` (UTF-8) open for writing as long as
// the object lives: closing its standard input ends it.
class HeldElsewhere {
public:
    explicit HeldElsewhere(const std::string& path) {
        const std::string child = programPath("velmorant-test-child").string();
        char c = 0;
#ifdef _WIN32
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE childInput = nullptr, childOutput = nullptr, output = nullptr;
        if (!::CreatePipe(&childInput, &input_, &inherit, 0) || !::CreatePipe(&output, &childOutput, &inherit, 0))
            return;
        ::SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
        ::SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
        std::wstring line = L"\"" + widened(child) + L"\" hold \"" + widened(path) + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childInput;
        startup.hStdOutput = childOutput;
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION info = {};
        if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info)) {
            process_ = info.hProcess;
            ::CloseHandle(info.hThread);
        }
        ::CloseHandle(childInput);
        ::CloseHandle(childOutput);
        DWORD got = 0;
        held_ = process_ && ::ReadFile(output, &c, 1, &got, nullptr) && got == 1 && c == 'y';
        ::CloseHandle(output);
#else
        int in[2], out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            for (int fd : {in[0], in[1], out[0], out[1]}) ::close(fd);
            ::execl(child.c_str(), child.c_str(), "hold", path.c_str(), nullptr);
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        held_ = ::read(out[0], &c, 1) == 1 && c == 'y';
        ::close(out[0]);
#endif
    }
    ~HeldElsewhere() {
#ifdef _WIN32
        if (input_) ::CloseHandle(input_);
        if (process_) {
            ::WaitForSingleObject(process_, INFINITE);
            ::CloseHandle(process_);
        }
#else
        if (input_ >= 0) ::close(input_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
#endif
    }
    HeldElsewhere(const HeldElsewhere&) = delete;
    HeldElsewhere& operator=(const HeldElsewhere&) = delete;
    bool held() const { return held_; }

private:
#ifdef _WIN32
    static std::wstring widened(const std::string& text) {
        std::wstring out(text.size(), L'\0');
        out.resize(static_cast<std::size_t>(::MultiByteToWideChar(
            CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), static_cast<int>(out.size()))));
        return out;
    }
    HANDLE process_ = nullptr, input_ = nullptr;
#else
    pid_t pid_ = -1;
    int input_ = -1;
#endif
    bool held_ = false;
};

} // namespace test_files

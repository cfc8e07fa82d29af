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
#include <csignal>
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

// A program running beside the test, its standard input and output piped
// to the test; killed or waited for.
class Child {
public:
    explicit Child(const std::vector<std::string>& args) { start(args); }
    ~Child() {
        closeInput();
        wait();
#ifdef _WIN32
        if (process_) ::CloseHandle(process_);
        if (output_) ::CloseHandle(output_);
#else
        if (output_ >= 0) ::close(output_);
#endif
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The next byte the program writes; false when it wrote no more.
    bool read(char* c) {
#ifdef _WIN32
        DWORD got = 0;
        return output_ && ::ReadFile(output_, c, 1, &got, nullptr) && got == 1;
#else
        return output_ >= 0 && ::read(output_, c, 1) == 1;
#endif
    }

    // The end of its input, which a program waiting for input takes as the
    // sign to finish.
    void closeInput() {
#ifdef _WIN32
        if (input_) ::CloseHandle(input_);
        input_ = nullptr;
#else
        if (input_ >= 0) ::close(input_);
        input_ = -1;
#endif
    }

    // Kills the program at once; false when it had ended on its own.
    bool kill() {
#ifdef _WIN32
        if (!process_) return false;
        const bool running = ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
        ::TerminateProcess(process_, 137);
        wait();
        return running;
#else
        if (pid_ <= 0) return false;
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFSIGNALED(status);
#endif
    }

private:
#ifdef _WIN32
    static std::wstring widened(const std::string& text) {
        std::wstring out(text.size(), L'\0');
        out.resize(static_cast<std::size_t>(::MultiByteToWideChar(
            CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), static_cast<int>(out.size()))));
        return out;
    }

    void start(const std::vector<std::string>& args) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE childInput = nullptr, childOutput = nullptr;
        if (!::CreatePipe(&childInput, &input_, &inherit, 0)) return;
        if (!::CreatePipe(&output_, &childOutput, &inherit, 0)) return;
        ::SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
        ::SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
        std::wstring line;
        for (const std::string& arg : args) line += L"\"" + widened(arg) + L"\" ";
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
    }

    void wait() {
        if (process_) ::WaitForSingleObject(process_, INFINITE);
    }

    HANDLE process_ = nullptr, input_ = nullptr, output_ = nullptr;
#else
    void start(const std::vector<std::string>& args) {
        int in[2], out[2];
        if (::pipe(in) != 0) return;
        if (::pipe(out) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], 0);
            ::dup2(out[1], 1);
            for (int fd : {in[0], in[1], out[0], out[1]}) ::close(fd);
            std::vector<char*> argv;
            for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }

    void wait() {
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

    pid_t pid_ = -1;
    int input_ = -1, output_ = -1;
#endif
};

// velmorant-test-child (tests/support/child_main.cpp) with `args`.
inline std::vector<std::string> testChild(std::vector<std::string> args) {
    args.insert(args.begin(), programPath("velmorant-test-child").string());
    return args;
}

// Another process holding the database file at `path` (UTF-8) open for
// writing, or for reading, as long as the object lives.
class HeldElsewhere {
public:
    explicit HeldElsewhere(const std::string& path, bool reading = false)
        : child_(testChild({reading ? "read" : "hold", path})) {
        char c = 0;
        held_ = child_.read(&c) && c == 'y';
    }
    bool held() const { return held_; }

private:
    Child child_;
    bool held_ = false;
};

} // namespace test_files

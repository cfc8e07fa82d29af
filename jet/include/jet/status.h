// Outcome of an engine operation: a code the caller can branch on and a
// one-line description in Slovak that the window can show to the user.
#pragma once

#include <cassert>
#include <memory>
#include <string>
#include <utility>

namespace jet {

class Status {
public:
    enum class Code {
        Ok,
        NotFound,       // file (or table, column, property) missing
        AccessDenied,   // the operating system refused the file
        Locked,         // another program (or this one) holds the file
        NotJet,         // not a Jet database at all
        Unsupported,    // a Jet file of a kind we do not handle (Jet 3, ACE, ...)
        Corrupt,        // damaged: something impossible found somewhere
        Refused,        // the engine refused a row (duplicate key, missing value, ...)
        IoError,        // read/write/flush failed, disk full
        TooLarge,       // the format's size limits
        Pending,        // a transaction saved beside the file but not yet written into it in full:
                        // the next open of the file finishes it
        InvalidArgument // a caller's mistake
    };

    Status() = default;
    static Status OK() { return {}; }
    // REQUIRES: code != Code::Ok.
    static Status error(Code code, std::string message) {
        assert(code != Code::Ok);
        return Status(std::make_unique<const Failure>(Failure{code, std::move(message)}));
    }

    // Passing an outcome on moves a pointer; only a failure copied keeps a
    // text of its own.
    Status(Status&&) noexcept = default;
    Status& operator=(Status&&) noexcept = default;
    Status(const Status& other) : failure_(copyOf(other.failure_)) {}
    Status& operator=(const Status& other) {
        if (this != &other) failure_ = copyOf(other.failure_);
        return *this;
    }

    bool ok() const { return !failure_; }
    Code code() const { return failure_ ? failure_->code : Code::Ok; }
    const std::string& message() const {
        static const std::string none;
        return failure_ ? failure_->message : none;
    }

private:
    struct Failure {
        Code code;
        std::string message;
    };
    explicit Status(std::unique_ptr<const Failure> failure) : failure_(std::move(failure)) {}
    static std::unique_ptr<const Failure> copyOf(const std::unique_ptr<const Failure>& f) {
        return f ? std::make_unique<const Failure>(*f) : nullptr;
    }
    // Most outcomes are Ok and carry nothing.
    std::unique_ptr<const Failure> failure_;
};

// Returns early from the enclosing function when a Status-returning call fails.
#define JET_TRY(expr)                                                                                                  \
    do {                                                                                                               \
        ::jet::Status jet_try_status_ = (expr);                                                                        \
        if (!jet_try_status_.ok()) return jet_try_status_;                                                             \
    } while (0)

} // namespace jet

// Outcome of an engine operation: a code the caller can branch on and a
// one-line description in Slovak that the window can show to the user.
#pragma once

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
    static Status error(Code code, std::string message) { return Status(code, std::move(message)); }

    bool ok() const { return code_ == Code::Ok; }
    Code code() const { return code_; }
    const std::string& message() const {
        static const std::string none;
        return message_ ? *message_ : none;
    }

private:
    Status(Code code, std::string message)
        : code_(code), message_(std::make_shared<const std::string>(std::move(message))) {}
    Code code_ = Code::Ok;
    // Shared, so that passing an outcome on (most are Ok, without one) moves
    // a pointer, never the text.
    std::shared_ptr<const std::string> message_;
};

// Returns early from the enclosing function when a Status-returning call fails.
#define JET_TRY(expr)                                                                                                  \
    do {                                                                                                               \
        ::jet::Status jet_try_status_ = (expr);                                                                        \
        if (!jet_try_status_.ok()) return jet_try_status_;                                                             \
    } while (0)

} // namespace jet

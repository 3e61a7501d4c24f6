#pragma once

// The exception classes whose names the logs print. Every error the module
// raises derives from Exception; className() gives the name a log line
// shows ("Exception is %s").

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvane {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    virtual const char* className() const { return "Exception"; }
    std::string message() const { return what(); }
};

// Ends the current operation without any further message: a validation
// that already showed its message raises it.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    const char* className() const override { return "EAbort"; }
};

#define CORVANE_EXCEPTION(Name, Base)                                          \
    class Name : public Base {                                                 \
    public:                                                                    \
        using Base::Base;                                                      \
        const char* className() const override { return #Name; }               \
    };

CORVANE_EXCEPTION(EConvertError, Exception)
CORVANE_EXCEPTION(EVariantError, Exception)
CORVANE_EXCEPTION(EVariantTypeCastError, EVariantError)
CORVANE_EXCEPTION(EVariantBadIndexError, EVariantError)
CORVANE_EXCEPTION(EOleError, Exception)
CORVANE_EXCEPTION(EDatabaseError, Exception)

#undef CORVANE_EXCEPTION

// A database-engine error with its list of sub-errors.
class EDBEngineError : public EDatabaseError {
public:
    struct SubError {
        std::uint16_t code = 0;
        std::string message;
    };
    EDBEngineError(const std::string& message, std::vector<SubError> errors)
        : EDatabaseError(message), errors_(std::move(errors)) {}
    const char* className() const override { return "EDBEngineError"; }
    const std::vector<SubError>& errors() const { return errors_; }

private:
    std::vector<SubError> errors_;
};

// An operating-system error with its system error code.
class EWin32Error : public Exception {
public:
    EWin32Error(const std::string& message, int code) : Exception(message), code_(code) {}
    const char* className() const override { return "EWin32Error"; }
    int errorCode() const { return code_; }

private:
    int code_;
};

// An input/output error with its I/O error code.
class EInOutError : public Exception {
public:
    EInOutError(const std::string& message, int code) : Exception(message), code_(code) {}
    const char* className() const override { return "EInOutError"; }
    int errorCode() const { return code_; }

private:
    int code_;
};

// The class name a log shows for any exception, ours or the library's.
const char* exceptionClassName(const std::exception& error);

}  // namespace corvane

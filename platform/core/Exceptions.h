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

// An error that carries the numeric code of the layer that raised it.
class ECodedError : public Exception {
public:
    ECodedError(const std::string& message, int code) : Exception(message), code_(code) {}
    int errorCode() const { return code_; }

private:
    int code_;
};

#define CORVANE_CODED_EXCEPTION(Name)                                          \
    class Name : public ECodedError {                                          \
    public:                                                                    \
        using ECodedError::ECodedError;                                        \
        const char* className() const override { return #Name; }               \
    };

CORVANE_CODED_EXCEPTION(EWin32Error)  // an operating-system error and its system error code
CORVANE_CODED_EXCEPTION(EInOutError)  // an input/output error and its I/O error code

#undef CORVANE_CODED_EXCEPTION

// The class name a log shows for any exception, ours or the library's.
const char* exceptionClassName(const std::exception& error);

}  // namespace corvane

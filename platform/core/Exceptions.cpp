#include "platform/core/Exceptions.h"

namespace corvane {

const char* exceptionClassName(const std::exception& error) {
    if (const auto* e = dynamic_cast<const Exception*>(&error)) return e->className();
    return "Exception";
}

}  // namespace corvane

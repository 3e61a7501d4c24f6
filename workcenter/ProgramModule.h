#pragma once

// One loaded program module (<PROGRAM>C.so) and the controller it handed
// out. The controller is destroyed before the library is unloaded.

#include <memory>
#include <string>

#include "host/DLLBaseCtrller.h"

namespace corvane::workcenter {

// Why a module could not be loaded, as the host's ExecWork statuses.
enum LoadStatus : int { lsLoaded = 0, lsMissing = -1, lsLoadFailed = -2 };

class ProgramModule {
public:
    // Loads folder/<programId>C.so and asks it for a controller; on failure
    // returns null with status and error set.
    static std::unique_ptr<ProgramModule> load(const std::string& folder, const std::string& programId,
                                               int& status, std::string& error);
    ~ProgramModule();
    ProgramModule(const ProgramModule&) = delete;
    ProgramModule& operator=(const ProgramModule&) = delete;

    const std::string& programId() const { return programId_; }
    const std::string& path() const { return path_; }
    host::TDLLBaseController& controller() { return *controller_; }
    // Destroys the controller now (its form goes with it, events included).
    void releaseController();
    bool hasController() const { return controller_ != nullptr; }

    static std::string fileName(const std::string& programId) { return programId + "C.so"; }

private:
    ProgramModule() = default;

    struct LibraryCloser {
        void operator()(void* handle) const;
    };
    std::string programId_;
    std::string path_;
    std::unique_ptr<void, LibraryCloser> library_;
    std::unique_ptr<host::TDLLBaseController> controller_;  // destroyed before library_
};

}  // namespace corvane::workcenter

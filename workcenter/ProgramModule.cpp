#include "workcenter/ProgramModule.h"

#include <dlfcn.h>

#include <filesystem>

namespace corvane::workcenter {

void ProgramModule::LibraryCloser::operator()(void* handle) const {
    if (handle) dlclose(handle);
}

std::unique_ptr<ProgramModule> ProgramModule::load(const std::string& folder, const std::string& programId,
                                                   int& status, std::string& error) {
    std::unique_ptr<ProgramModule> module(new ProgramModule());
    module->programId_ = programId;
    module->path_ = (std::filesystem::path(folder) / fileName(programId)).string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(module->path_, ec)) {
        status = lsMissing;
        error = "no program module " + module->path_;
        return nullptr;
    }
    module->library_.reset(dlopen(module->path_.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!module->library_) {
        status = lsLoadFailed;
        const char* reason = dlerror();
        error = "cannot load " + module->path_ + ": " + (reason ? reason : "unknown reason");
        return nullptr;
    }
    using GetControllerFn = host::TDLLBaseController* (*)();
    auto entry = reinterpret_cast<GetControllerFn>(dlsym(module->library_.get(), "GetController"));
    if (!entry) {
        status = lsLoadFailed;
        error = module->path_ + " does not export GetController";
        return nullptr;
    }
    try {
        module->controller_.reset(entry());
    } catch (const std::exception& failure) {
        status = lsLoadFailed;
        error = std::string("GetController failed: ") + failure.what();
        return nullptr;
    }
    if (!module->controller_) {
        status = lsLoadFailed;
        error = "GetController returned no controller";
        return nullptr;
    }
    status = lsLoaded;
    return module;
}

void ProgramModule::releaseController() { controller_.reset(); }

ProgramModule::~ProgramModule() { controller_.reset(); }

}  // namespace corvane::workcenter

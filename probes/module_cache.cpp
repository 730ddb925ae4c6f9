#include "module_cache.h"

#include <map>
#include <mutex>

namespace {

// Name-to-handle table of the modules loaded so far; releases them all at process end.
class ModuleCache {
public:
    ModuleCache() = default;
    ModuleCache(const ModuleCache&) = delete;
    ModuleCache& operator=(const ModuleCache&) = delete;
    ~ModuleCache() {
        for (const auto& entry : modules_) FreeLibrary(entry.second);
    }

    HMODULE Load(const std::string& name) {
        // Probes run one at a time, but the lock keeps the table whole should two ever meet.
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = modules_.find(name);
        if (found != modules_.end()) return found->second;
        const HMODULE module = LoadLibraryA(name.c_str());
        if (module) modules_.emplace(name, module);
        return module;
    }

private:
    std::mutex mutex_;
    std::map<std::string, HMODULE> modules_;
};

ModuleCache& Modules() {
    static ModuleCache cache;
    return cache;
}

}  // namespace

FARPROC GetModuleProc(const std::string& module, const std::string& function) {
    const HMODULE handle = Modules().Load(module);
    return handle ? GetProcAddress(handle, function.c_str()) : nullptr;
}

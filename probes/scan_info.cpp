#include "scan_info.h"

#include <mutex>

namespace ScanInfoText {
namespace {

struct SharedText {
    std::mutex mutex;
    std::string text;
};

SharedText& Shared() {
    static SharedText shared;
    return shared;
}

}  // namespace

void Set(const std::string& text) {
    SharedText& shared = Shared();
    std::lock_guard<std::mutex> lock(shared.mutex);
    shared.text = text;
}

void Clear() { Set(std::string()); }

std::string Get() {
    SharedText& shared = Shared();
    std::lock_guard<std::mutex> lock(shared.mutex);
    return shared.text;
}

}  // namespace ScanInfoText

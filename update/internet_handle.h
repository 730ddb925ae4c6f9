// An open WinInet handle (session or request), closed with InternetCloseHandle.
#pragma once

#include <windows.h>
#include <wininet.h>

namespace update {

class InternetHandle {
public:
    InternetHandle() = default;
    explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
    ~InternetHandle() { Reset(); }
    InternetHandle(const InternetHandle&) = delete;
    InternetHandle& operator=(const InternetHandle&) = delete;

    void Reset(HINTERNET handle = nullptr) {
        if (handle_) InternetCloseHandle(handle_);
        handle_ = handle;
    }
    bool IsOpen() const { return handle_ != nullptr; }
    HINTERNET Get() const { return handle_; }

private:
    HINTERNET handle_ = nullptr;
};

}  // namespace update

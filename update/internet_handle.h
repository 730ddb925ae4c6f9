// An open WinInet handle (session, connection or request), closed with InternetCloseHandle when
// it goes out of scope or is given another.
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
    InternetHandle(InternetHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    InternetHandle& operator=(InternetHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.handle_);
            other.handle_ = nullptr;
        }
        return *this;
    }

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

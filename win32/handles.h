// Small owners of Win32 handles: each closes its handle when it goes out of scope, so every
// key, search, snapshot, process and service opened is closed, and every COM interface obtained
// is released, by construction. NULL and INVALID_HANDLE_VALUE both count as empty.
#pragma once

#include <windows.h>

// An open registry key. Open returns the Win32 status; on failure the key stays empty.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }

    // options: REG_OPTION_OPEN_LINK opens a registry link itself rather than the key it leads to.
    LONG Open(HKEY parent, const char* sub_key, REGSAM access, DWORD options = 0) {
        Close();
        HKEY opened = nullptr;
        const LONG status = RegOpenKeyExA(parent, sub_key, options, access, &opened);
        if (status == ERROR_SUCCESS) key_ = opened;
        return status;
    }
    void Close() {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }
    bool IsOpen() const { return key_ != nullptr; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// A kernel handle closed with CloseHandle (process, snapshot, file, thread, event).
class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : handle_(handle) {}
    ~KernelHandle() { Reset(); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    void Reset(HANDLE handle = nullptr) {
        if (IsOpen()) CloseHandle(handle_);
        handle_ = handle;
    }
    bool IsOpen() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

// A handle of the service control manager or of one service, closed with CloseServiceHandle.
class ServiceHandle {
public:
    ServiceHandle() = default;
    explicit ServiceHandle(SC_HANDLE handle) : handle_(handle) {}
    ~ServiceHandle() { Reset(); }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;

    void Reset(SC_HANDLE handle = nullptr) {
        if (handle_) CloseServiceHandle(handle_);
        handle_ = handle;
    }
    bool IsOpen() const { return handle_ != nullptr; }
    SC_HANDLE Get() const { return handle_; }

private:
    SC_HANDLE handle_ = nullptr;
};

// A FindFirstFileA search: the first entry is in data after construction when IsOpen.
class FindHandle {
public:
    FindHandle(const char* pattern, WIN32_FIND_DATAA& data) : handle_(FindFirstFileA(pattern, &data)) {}
    // A search another call opened (FindFirstFileExA), its first entry already read.
    explicit FindHandle(HANDLE search) : handle_(search) {}
    ~FindHandle() {
        if (IsOpen()) FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool IsOpen() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAA& data) { return FindNextFileA(handle_, &data) != 0; }

private:
    HANDLE handle_;
};

// A COM interface pointer, Released when it goes out of scope or is received into again.
template <typename Interface>
class ComPointer {
public:
    ComPointer() = default;
    ~ComPointer() { Reset(); }
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;

    // The out parameter of CoCreateInstance or QueryInterface; whatever was held is released first.
    void** Receive() {
        Reset();
        return reinterpret_cast<void**>(&pointer_);
    }
    void Reset() {
        if (pointer_) pointer_->Release();
        pointer_ = nullptr;
    }
    bool IsSet() const { return pointer_ != nullptr; }
    Interface* operator->() const { return pointer_; }

private:
    Interface* pointer_ = nullptr;
};

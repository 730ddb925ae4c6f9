// A block of memory inside another process. Messages such as LVM_GETITEMTEXTA, TCM_GETITEMA or
// WM_NOTIFY carry pointers that the system hands over unchanged, so across processes they must
// point into the receiver's own address space.
#pragma once

#include <windows.h>

#include <cstddef>

class RemoteBuffer {
public:
    // Reserves size bytes in process (opened with PROCESS_VM_OPERATION, _READ and _WRITE);
    // throws std::runtime_error when the memory cannot be had.
    RemoteBuffer(HANDLE process, size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    // The block's address as the other process sees it.
    char* Address() const { return address_; }
    LPARAM AsParameter(size_t offset = 0) const { return reinterpret_cast<LPARAM>(address_ + offset); }

    void Write(const void* data, size_t size, size_t offset = 0) const;
    void Read(void* data, size_t size, size_t offset = 0) const;

private:
    HANDLE process_;
    char* address_;
    size_t size_;
};

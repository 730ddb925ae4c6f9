#include "remote_buffer.h"

#include <stdexcept>
#include <string>

RemoteBuffer::RemoteBuffer(HANDLE process, size_t size)
    : process_(process),
      address_(static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))),
      size_(size) {
    if (!address_)
        throw std::runtime_error("VirtualAllocEx of " + std::to_string(size) + " bytes failed, error " +
                                 std::to_string(GetLastError()));
}

RemoteBuffer::~RemoteBuffer() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }

void RemoteBuffer::Write(const void* data, size_t size, size_t offset) const {
    SIZE_T written = 0;
    if (offset + size > size_ || !WriteProcessMemory(process_, address_ + offset, data, size, &written) ||
        written != size)
        throw std::runtime_error("WriteProcessMemory of " + std::to_string(size) + " bytes failed");
}

void RemoteBuffer::Read(void* data, size_t size, size_t offset) const {
    SIZE_T read = 0;
    if (offset + size > size_ || !ReadProcessMemory(process_, address_ + offset, data, size, &read) || read != size)
        throw std::runtime_error("ReadProcessMemory of " + std::to_string(size) + " bytes failed");
}

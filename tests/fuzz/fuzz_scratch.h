// What the fuzz targets share: the parsers read files, so each process gets a private scratch
// folder (removed at exit), and a broken promise becomes a crash that libFuzzer keeps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// name inside this process's scratch folder.
std::string ScratchPath(const std::string& name);

// Replaces the file at path with the bytes.
void WriteScratchFile(const std::string& path, const std::uint8_t* data, std::size_t size);

// Aborts with the message when the promise does not hold.
void FuzzExpect(bool holds, const char* promise);

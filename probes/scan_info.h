// ScanInfoText: the process-wide text naming the item a scan examined last (a sub-key name, a
// folder or a file). Written by the probes and the engine on a worker thread (the directory
// walk writes it from each of its threads: the text is the folder one of them examined last),
// read by the window's one-second tip timer on the main thread; every read sees one whole text.
#pragma once

#include <string>

namespace ScanInfoText {

void Set(const std::string& text);
void Clear();
// A copy of the text last set; empty before the first Set.
std::string Get();

}  // namespace ScanInfoText

#include <windows.h>

#include <atomic>

#include "check.h"
#include "scan_info.h"
#include "win32/handles.h"

namespace {

// Texts of different lengths, so that a write reallocates and a read that mixed two writes shows.
const std::string kTexts[] = {
    std::string(1000, 'a'),
    "C:\\Program Files\\软件\\组件.dll",
    std::string(3000, 'b'),
    "",
};
constexpr int kReads = 100000;

std::atomic<bool> reader_done{false};
std::atomic<int> writes{0};

DWORD WINAPI WriteTextsUntilReaderIsDone(void*) {
    for (int i = 0; !reader_done; ++i) {
        ScanInfoText::Set(kTexts[i % 4]);
        ++writes;
    }
    ScanInfoText::Set("last");
    return 0;
}

bool IsWrittenText(const std::string& text) {
    for (const std::string& written : kTexts)
        if (text == written) return true;
    return text == "first";
}

}  // namespace

TEST(ScanInfoTextIsReadWholeWhileAnotherThreadWrites) {
    ScanInfoText::Set("first");
    reader_done = false;
    KernelHandle writer(CreateThread(nullptr, 0, WriteTextsUntilReaderIsDone, nullptr, 0, nullptr));
    CHECK(writer.IsOpen());
    if (!writer.IsOpen()) return;
    while (writes == 0) Sleep(0);
    int torn = 0;
    for (int read = 0; read < kReads; ++read)
        if (!IsWrittenText(ScanInfoText::Get())) ++torn;
    reader_done = true;
    WaitForSingleObject(writer.Get(), INFINITE);
    CHECK_EQ(torn, 0);
    CHECK_EQ(ScanInfoText::Get(), std::string("last"));
    ScanInfoText::Clear();
    CHECK_EQ(ScanInfoText::Get(), std::string());
}

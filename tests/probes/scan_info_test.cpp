#include <windows.h>

#include <atomic>

#include "check.h"
#include "handles.h"
#include "scan_info.h"

namespace {

// Texts of different lengths, so a read that mixed two writes would show.
const std::string kTexts[] = {
    std::string(1000, 'a'),
    "C:\\Program Files\\软件\\组件.dll",
    std::string(37, 'b'),
    "",
};
constexpr int kWrites = 20000;

std::atomic<bool> writer_done{false};

DWORD WINAPI WriteTexts(void*) {
    for (int i = 0; i < kWrites; ++i) ScanInfoText::Set(kTexts[i % 4]);
    ScanInfoText::Set("last");
    writer_done = true;
    return 0;
}

bool IsWrittenText(const std::string& text) {
    for (const std::string& written : kTexts)
        if (text == written) return true;
    return text == "last" || text == "first";
}

}  // namespace

TEST(ScanInfoTextIsReadWholeWhileAnotherThreadWrites) {
    ScanInfoText::Set("first");
    writer_done = false;
    KernelHandle writer(CreateThread(nullptr, 0, WriteTexts, nullptr, 0, nullptr));
    CHECK(writer.IsOpen());
    int torn = 0, reads = 0;
    while (writer.IsOpen() && !writer_done) {
        if (!IsWrittenText(ScanInfoText::Get())) ++torn;
        ++reads;
    }
    if (writer.IsOpen()) WaitForSingleObject(writer.Get(), INFINITE);
    CHECK_EQ(torn, 0);
    CHECK(reads > 0);
    CHECK_EQ(ScanInfoText::Get(), std::string("last"));
    ScanInfoText::Clear();
    CHECK_EQ(ScanInfoText::Get(), std::string());
}

#include "installed_marks_reader.h"

#include <algorithm>
#include <atomic>

#include "installed_marks.h"
#include "win32/handles.h"

struct InstalledMarksReader::Read {
    WPARAM number;
    HWND window;
    UINT message;
    std::string work_folder, type;
    StringList catalogue;
    RegistryView view;
    std::vector<bool> marks;  // written by the read's thread before it sets done
    std::atomic<bool> done{false};
    bool taken = false;  // its marks have been handed out
    KernelHandle thread;

    bool Finished() const { return WaitForSingleObject(thread.Get(), 0) == WAIT_OBJECT_0; }
};

InstalledMarksReader::InstalledMarksReader() = default;

InstalledMarksReader::~InstalledMarksReader() { Wait(); }

DWORD WINAPI InstalledMarksReader::ReadMain(void* parameter) {
    Read& read = *static_cast<Read*>(parameter);
    try {
        read.marks = InstalledMarksOf(read.work_folder, read.type, read.catalogue, read.view);
    } catch (...) {
        // Out of memory or a database that cannot be read: nothing is marked.
        read.marks.clear();
    }
    read.done = true;
    PostMessageA(read.window, read.message, read.number, 0);
    return 0;
}

bool InstalledMarksReader::Start(HWND window, UINT message, const std::string& work_folder,
                                 const std::string& type, const StringList& catalogue, RegistryView view) {
    LetFinishedGo();
    auto read = std::make_unique<Read>();
    read->number = latest_ + 1;
    read->window = window;
    read->message = message;
    read->work_folder = work_folder;
    read->type = type;
    read->catalogue = catalogue;
    read->view = view;
    read->thread.Reset(CreateThread(nullptr, 0, ReadMain, read.get(), 0, nullptr));
    if (!read->thread.IsOpen()) return false;
    latest_ = read->number;
    reads_.push_back(std::move(read));
    return true;
}

bool InstalledMarksReader::Take(WPARAM number, std::vector<bool>& marks) {
    bool taken = false;
    if (number == latest_ && number > forgotten_) {
        for (const std::unique_ptr<Read>& read : reads_)
            if (read->number == number && read->done && !read->taken) {
                marks = std::move(read->marks);
                read->taken = true;
                taken = true;
            }
    }
    LetFinishedGo();
    return taken;
}

void InstalledMarksReader::Wait() {
    for (const std::unique_ptr<Read>& read : reads_) WaitForSingleObject(read->thread.Get(), INFINITE);
    reads_.clear();
}

// A read that has ended goes once its answer can no longer be taken: taken, or stale. The
// latest read's answer stays until its own message comes, whatever message comes first.
void InstalledMarksReader::LetFinishedGo() {
    reads_.erase(std::remove_if(reads_.begin(), reads_.end(),
                                [&](const std::unique_ptr<Read>& read) {
                                    const bool answer_wanted =
                                        read->number == latest_ && read->number > forgotten_ && !read->taken;
                                    return !answer_wanted && read->Finished();
                                }),
                 reads_.end());
}

#include "subtree_pool.h"

#include <algorithm>

#include "matching.h"
#include "win32/handles.h"

SubtreePool::SubtreePool(unsigned threads, WalkSubtree walk_subtree)
    : threads_(std::max(threads, 1u)), walk_subtree_(std::move(walk_subtree)) {}

void SubtreePool::Run(const WalkRoot& walk_root, StringList& output) {
    walk_root_ = &walk_root;
    segments_.assign(1, Segment());
    queue_.assign(1, Task{std::string(), &segments_.front()});
    queued_ = 1;
    // A thread the system refuses leaves its share to the others.
    std::vector<KernelHandle> helpers(threads_ - 1);
    for (KernelHandle& thread : helpers) thread.Reset(CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr));
    Work();
    for (const KernelHandle& thread : helpers)
        if (thread.IsOpen()) WaitForSingleObject(thread.Get(), INFINITE);
    walk_root_ = nullptr;
    if (failure_) std::rethrow_exception(failure_);
    Flatten(segments_.front(), output);
    segments_.clear();
}

const SubtreePool::Segment* SubtreePool::HandOver(const std::string& folder) {
    std::lock_guard<std::mutex> lock(mutex_);
    segments_.emplace_back();
    queue_.push_back(Task{folder, &segments_.back()});
    ++queued_;
    wake_.notify_one();
    return &segments_.back();
}

DWORD WINAPI SubtreePool::ThreadMain(void* pool) {
    static_cast<SubtreePool*>(pool)->Work();
    return 0;
}

void SubtreePool::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        ++waiting_;
        wake_.wait(lock, [this] { return !queue_.empty() || walking_ == 0; });
        --waiting_;
        // Nothing queued and nobody walking, who could queue more: the walk is over.
        if (queue_.empty()) return;
        const Task task = std::move(queue_.front());
        queue_.pop_front();
        --queued_;
        ++walking_;
        lock.unlock();
        RunTask(task);
        lock.lock();
        if (--walking_ == 0 && queue_.empty()) wake_.notify_all();
    }
}

void SubtreePool::RunTask(const Task& task) {
    try {
        if (task.folder.empty())
            (*walk_root_)(*task.results);
        else
            walk_subtree_(task.folder, *task.results);
    } catch (...) {
        // The others finish what they hold; Run raises the first failure.
        std::lock_guard<std::mutex> lock(mutex_);
        if (!failure_) failure_ = std::current_exception();
    }
}

void SubtreePool::Flatten(const Segment& segment, StringList& output) {
    for (const Segment::Item& item : segment.items_) {
        if (item.subtree)
            Flatten(*item.subtree, output);
        else
            AddOnce(output, item.path);
    }
}

unsigned WalkThreadCount() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return std::min(std::max(static_cast<unsigned>(system.dwNumberOfProcessors), 1u), 16u);
}

// Spreads a depth-first walk of a folder tree over several threads while its results keep the
// order the walk on one thread gives. The walk adds what it finds to a Segment; a subtree it
// hands over to another thread gets a segment of its own, whose place the walk marks in its
// segment where the subtree comes in walk order. At the end the segments are read in that order.
#pragma once

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "splitters.h"

class SubtreePool {
public:
    // The results of one part of the walk, written by the one thread that walks that part.
    class Segment {
    public:
        void Add(const std::string& path) { items_.push_back({path, nullptr}); }
        // The results of a handed-over subtree come here.
        void AddSubtree(const Segment* subtree) { items_.push_back({std::string(), subtree}); }

    private:
        friend class SubtreePool;
        struct Item {
            std::string path;
            const Segment* subtree;  // null: path is a result
        };
        std::vector<Item> items_;
    };

    using WalkRoot = std::function<void(Segment& results)>;
    using WalkSubtree = std::function<void(const std::string& folder, Segment& results)>;

    // threads: how many may walk at once, the caller's own thread included (at least one).
    SubtreePool(unsigned threads, WalkSubtree walk_subtree);
    SubtreePool(const SubtreePool&) = delete;
    SubtreePool& operator=(const SubtreePool&) = delete;

    // Runs walk_root on the calling thread, and every handed-over subtree on whichever thread is
    // free, then adds every result to output once (AddOnce), in depth-first order. An exception
    // raised by a walk is raised here once all threads have stopped.
    void Run(const WalkRoot& walk_root, StringList& output);

    // True while a thread waits for work that nobody has handed over yet.
    bool Hungry() const {
        return queued_.load(std::memory_order_relaxed) < waiting_.load(std::memory_order_relaxed);
    }
    // Queues the subtree at folder for the next free thread; the segment its results go to.
    const Segment* HandOver(const std::string& folder);

private:
    struct Task {
        std::string folder;  // empty: the root, which walk_root walks
        Segment* results;
    };
    static DWORD WINAPI ThreadMain(void* pool);
    // Takes and walks tasks until none is queued and nobody is walking.
    void Work();
    void RunTask(const Task& task);
    static void Flatten(const Segment& segment, StringList& output);

    const unsigned threads_;
    const WalkSubtree walk_subtree_;
    const WalkRoot* walk_root_ = nullptr;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Task> queue_;
    std::deque<Segment> segments_;  // a deque keeps each segment where it is as more are added
    unsigned walking_ = 0;
    std::exception_ptr failure_;
    std::atomic<int> queued_{0}, waiting_{0};
};

// How many threads a walk uses by default: one per processor, at most 16 (a disk serves no more).
unsigned WalkThreadCount();

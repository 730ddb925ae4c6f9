// Inflation of one zlib stream (RFC 1950), handed out piece by piece.
#pragma once

#include <cstddef>
#include <memory>

class ZlibInflater {
public:
    ZlibInflater(const void* data, std::size_t length);
    ~ZlibInflater();
    ZlibInflater(const ZlibInflater&) = delete;
    ZlibInflater& operator=(const ZlibInflater&) = delete;

    // Fills out with up to capacity bytes and returns how many; 0 only at the end of the stream.
    // Raises EZlibError on damaged data and on data that ends before the stream does.
    std::size_t Read(void* out, std::size_t capacity);
    bool Finished() const { return finished_; }

private:
    struct State;
    std::unique_ptr<State> state_;
    bool finished_ = false;
};

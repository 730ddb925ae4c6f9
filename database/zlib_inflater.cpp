#include "zlib_inflater.h"

#include <zlib.h>

#include "errors.h"

struct ZlibInflater::State {
    z_stream stream{};
};

namespace {

[[noreturn]] void RaiseZlibError(int code, const z_stream& stream) {
    if (code == Z_BUF_ERROR) throw EZlibError("Compressed data ends before its stream is complete");
    throw EZlibError(stream.msg ? stream.msg : zError(code));
}

}  // namespace

ZlibInflater::ZlibInflater(const void* data, std::size_t length) : state_(new State) {
    z_stream& stream = state_->stream;
    stream.next_in = static_cast<Bytef*>(const_cast<void*>(data));
    stream.avail_in = static_cast<uInt>(length);
    const int code = inflateInit(&stream);
    if (code != Z_OK) RaiseZlibError(code, stream);
}

ZlibInflater::~ZlibInflater() { inflateEnd(&state_->stream); }

std::size_t ZlibInflater::Read(void* out, std::size_t capacity) {
    z_stream& stream = state_->stream;
    stream.next_out = static_cast<Bytef*>(out);
    stream.avail_out = static_cast<uInt>(capacity);
    while (!finished_ && stream.avail_out == capacity && capacity > 0) {
        const int code = inflate(&stream, Z_NO_FLUSH);
        if (code == Z_STREAM_END) {
            finished_ = true;
        } else if (code != Z_OK) {
            RaiseZlibError(code, stream);
        }
    }
    return capacity - stream.avail_out;
}

#pragma once
#include <cstddef>
#include <vector>

namespace vsr::engine {

// A thread's vector used again by every call of a function on that thread, so that a call makes
// no allocation once the vector has grown: emptied when a call takes it, and given back to the
// allocator when the call leaves it larger than a few thousand elements, so that one large call
// does not leave its memory to the thread.
template <class T>
class ThreadBuffer {
public:
    explicit ThreadBuffer(std::vector<T>& kept) : v_(kept) { v_.clear(); }
    ~ThreadBuffer() {
        if (v_.capacity() > kKept) std::vector<T>().swap(v_);
        else v_.clear();
    }
    ThreadBuffer(const ThreadBuffer&) = delete;
    ThreadBuffer& operator=(const ThreadBuffer&) = delete;
    std::vector<T>& operator*() { return v_; }

private:
    static constexpr std::size_t kKept = 4096;
    std::vector<T>& v_;
};

}  // namespace vsr::engine

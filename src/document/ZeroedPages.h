// Memory that reads as zero and takes real pages only where it is written. A document's own
// location bytes are this: a document that opens a file at once never touches them, and
// making and clearing half a megabyte for every document would cost more than the work done
// with many short-lived documents (tools, tests, fuzzing).
#pragma once

#include <cstddef>
#include <cstdint>

namespace arvestra {

class ZeroedPages {
  public:
    // `size` zero bytes; throws std::bad_alloc when the system gives no memory.
    explicit ZeroedPages(std::size_t size);
    ~ZeroedPages();
    ZeroedPages(const ZeroedPages&) = delete;
    ZeroedPages& operator=(const ZeroedPages&) = delete;

    uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

  private:
    uint8_t* data_;
    std::size_t size_;
};

}  // namespace arvestra

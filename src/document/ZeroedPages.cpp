// A private anonymous mapping: the system hands out zero pages on first write, so only the pages
// written are ever made, and none needs clearing.
#include "document/ZeroedPages.h"

#include <sys/mman.h>

#include <new>

namespace arvestra {

ZeroedPages::ZeroedPages(std::size_t size) : data_(nullptr), size_(size) {
    void* mapped =
        ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) throw std::bad_alloc();
    data_ = static_cast<uint8_t*>(mapped);
}

ZeroedPages::~ZeroedPages() {
    ::munmap(data_, size_);
}

}  // namespace arvestra

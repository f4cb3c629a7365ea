#include "document/LocationBuffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "document/AtomicFileWriter.h"
#include "document/FdCloser.h"
#include "document/LocationFileFormat.h"

namespace arvestra {

namespace {

// Reads at most kLocationSize bytes of a regular file into bytes; the file's length goes to
// length. 0 on success, else errno. Non-blocking open, so a FIFO cannot hang the caller.
int ReadFileInto(const std::string& path, std::vector<uint8_t>& bytes, std::size_t& length) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    FdCloser closer(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0) return errno;
    if (S_ISDIR(info.st_mode)) return EISDIR;
    if (!S_ISREG(info.st_mode)) return EINVAL;
    length = static_cast<std::size_t>(info.st_size);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return 0;
}

std::string FaultText(const std::string& path, const FileFault& fault) {
    return path + " is not a usable Location File (error " + std::to_string(fault.number) + ")";
}

}  // namespace

CLocationBuffer::CLocationBuffer() : bytes_(kLocationSize, 0) {
    location_.Attach(CLocationImage::Bytes(bytes_.data(), kLocationSize));
}

std::unique_ptr<CLocationBuffer> CLocationBuffer::Load(const std::string& path,
                                                       bool convertOldVersion, std::string& error) {
    std::unique_ptr<CLocationBuffer> buffer(new CLocationBuffer());
    std::size_t length = 0;
    if (const int failure = ReadFileInto(path, buffer->bytes_, length)) {
        error = "cannot read " + path + ": " + std::strerror(failure);
        return nullptr;
    }
    const HeaderCheck check = CheckLocationFile(buffer->location_, length);
    if (check.verdict == HeaderVerdict::kRefused) {
        error = FaultText(path, check.fault);
        return nullptr;
    }
    if (check.verdict == HeaderVerdict::kOldVersion) {
        if (!convertOldVersion) {
            error = path +
                    " is a Location File of the older version; open it in the editor and save "
                    "it first";
            return nullptr;
        }
        ConvertFromOldVersion(buffer->location_);
    }
    return buffer;
}

int CLocationBuffer::Save(const std::string& path, std::string& error) const {
    AtomicFileWriter writer;
    int failure = writer.Begin(path);
    if (failure == 0) {
        failure = writer.Commit(std::span<const uint8_t>(location_.Data(), UsedLength(location_)));
    }
    if (failure != 0) error = "cannot save " + path + ": " + std::strerror(failure);
    return failure;
}

}  // namespace arvestra

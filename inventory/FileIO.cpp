// Reading files whole or in pieces, and replacing them with POSIX calls: temporary file, fsync, rename.
#include "inventory/FileIO.h"

#include "inventory/Errors.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvelle {

namespace {

// Closes the descriptor on every path.
class TFileDescriptor {
public:
    explicit TFileDescriptor(int descriptor) : FDescriptor(descriptor) {}
    ~TFileDescriptor() {
        if (FDescriptor >= 0)
            close(FDescriptor);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return FDescriptor; }
    // Closes now and reports whether the close succeeded (it can report a late write error).
    bool Close() {
        const int descriptor = FDescriptor;
        FDescriptor = -1;
        return close(descriptor) == 0;
    }

private:
    int FDescriptor;
};

bool WriteAll(int descriptor, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = write(descriptor, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A name beside TARGET that no other writer of this process or another uses at the same time.
std::string TemporaryName(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return target + ".tmp." + std::to_string(getpid()) + "." + std::to_string(counter++);
}

[[noreturn]] void RaiseWriteError(const std::string& path, int error) {
    throw EOrvelleError("Unable to write file " + path + ": " + std::strerror(error));
}

// Writes what PRODUCE gives over the existing file TARGET: the contents are made in memory first, so
// that only a failing write can leave the file shortened.
void RewriteInPlace(const std::string& path, const std::string& target,
                    const std::function<void(const TByteSink&)>& produce) {
    std::string contents;
    produce([&contents](std::string_view data) { contents += data; });
    TFileDescriptor file(open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    if (file.Get() < 0)
        throw EOrvelleError("Cannot open file " + path);
    if (!WriteAll(file.Get(), contents) || fsync(file.Get()) != 0 || !file.Close())
        RaiseWriteError(path, errno);
}

} // namespace

TFileReader::TFileReader(const std::string& path) {
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    struct stat status {};
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return;
    }
    FDescriptor = descriptor;
    FSize = static_cast<std::size_t>(status.st_size);
}

TFileReader::~TFileReader() {
    if (FDescriptor >= 0)
        close(FDescriptor);
}

std::optional<std::size_t> TFileReader::Read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t count = read(FDescriptor, buffer, size);
        if (count >= 0)
            return static_cast<std::size_t>(count);
        if (errno != EINTR)
            return std::nullopt;
    }
}

std::optional<TFileBytes> ReadFileBytes(const std::string& path) {
    TFileReader file(path);
    if (!file.IsOpen())
        return std::nullopt;
    // Read straight into a buffer that is not cleared first; a file that grows meanwhile is read to
    // its new end.
    TFileBytes bytes;
    std::size_t capacity = file.Size();
    bytes.Data = std::make_unique_for_overwrite<char[]>(capacity);
    for (;;) {
        if (bytes.Size == capacity) {
            capacity = std::max<std::size_t>(2 * capacity, 1 << 16);
            auto larger = std::make_unique_for_overwrite<char[]>(capacity);
            std::copy_n(bytes.Data.get(), bytes.Size, larger.get());
            bytes.Data = std::move(larger);
        }
        const auto count = file.Read(bytes.Data.get() + bytes.Size, capacity - bytes.Size);
        if (!count)
            return std::nullopt;
        if (*count == 0)
            return bytes;
        bytes.Size += *count;
    }
}

void ReplaceFile(const std::string& path, const std::function<void(const TByteSink&)>& produce) {
    struct stat status {};
    const bool exists = stat(path.c_str(), &status) == 0;
    // A link is followed, so that the file it names is replaced and the link stays.
    std::string target = path;
    if (exists) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) != nullptr)
            target = resolved;
        // No write permission for anyone means read-only, even to a user the system would let write.
        if (!S_ISREG(status.st_mode) || (status.st_mode & 0222) == 0)
            throw EOrvelleError("Cannot open file " + path);
        const TFileDescriptor probe(open(target.c_str(), O_WRONLY | O_CLOEXEC));
        if (probe.Get() < 0)
            throw EOrvelleError("Cannot open file " + path);
    }
    const std::string temporary = TemporaryName(target);
    const mode_t mode = exists ? (status.st_mode & 07777) : 0666;
    TFileDescriptor file(open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (file.Get() < 0) {
        // A writable file whose directory takes no new file (or whose name leaves no room for the
        // temporary's) is rewritten in place rather than never saved again.
        if (exists) {
            RewriteInPlace(path, target, produce);
            return;
        }
        throw EOrvelleError("Unable to create file: " + path);
    }
    try {
        // The creation mode passed through the umask; the replacement keeps the file's own.
        if (exists && fchmod(file.Get(), mode) != 0)
            RaiseWriteError(path, errno);
        produce([&](std::string_view data) {
            if (!WriteAll(file.Get(), data))
                RaiseWriteError(path, errno);
        });
        if (fsync(file.Get()) != 0 || !file.Close())
            RaiseWriteError(path, errno);
        if (rename(temporary.c_str(), target.c_str()) != 0)
            RaiseWriteError(path, errno);
    } catch (...) {
        unlink(temporary.c_str());
        throw;
    }
    const std::string directory = target.substr(0, target.rfind('/') + 1);
    const TFileDescriptor folder(
        open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        fsync(folder.Get());
}

void ReplaceFile(const std::string& path, std::string_view data) {
    ReplaceFile(path, [data](const TByteSink& sink) { sink(data); });
}

} // namespace orvelle

#include "Files.h"

#include "language/ListingText.h"
#include "language/Messages.h"

#include "Paths.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <utility>
#include <istream>
#include <ostream>

namespace kuv {

namespace {

QString Text(const std::u16string& text) { return QString::fromStdU16String(text); }

}  // namespace

QString CannotOpenMessage(const QString& path) {
    return Text(FailureMessage(Failure::CannotOpen, PathForDisplay(path).toStdU16String()));
}

QString CannotCreateMessage(const QString& path) {
    return Text(FailureMessage(Failure::CannotCreate, PathForDisplay(path).toStdU16String()));
}

QString WriteErrorMessage() { return Text(FailureMessage(Failure::WriteError)); }

QString EditorLimitMessage() { return Text(FailureMessage(Failure::EditorLimit)); }

QString JpegErrorMessage(int code) { return Text(FailureMessage(Failure::JpegError, {}, code)); }

QString OutOfMemoryMessage() { return Text(FailureMessage(Failure::OutOfMemory)); }

QString ErrorBoxText(const QString& message) { return Text(kuv::ErrorBoxText(message.toStdU16String())); }

namespace {

constexpr std::size_t kReadChunk = std::size_t{1} << 16;
// How long a FIFO or device that the desktop program writes may take no
// bytes before the write counts as failed, instead of freezing the window.
constexpr int kStalledWriteMs = 5000;

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

int OpenRetrying(const std::string& path, int flags, mode_t mode = 0) {
    int fd;
    do fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// Waits until a descriptor takes more bytes, at most kStalledWriteMs; a
// signal meanwhile does not cut the wait short.
bool WaitForRoom(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kStalledWriteMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd room{fd, POLLOUT, 0};
        const int ready = ::poll(&room, 1, static_cast<int>(left.count()));
        if (ready > 0) return true;
        if (ready == 0 || errno != EINTR) return false;
    }
}

// Writes every byte; a descriptor without O_NONBLOCK simply blocks, one
// with it waits for room as WaitForRoom does.
bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EAGAIN) {
            if (!WaitForRoom(fd)) return false;
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return true;
}

// Replaces a regular file (or makes a new one) through a temporary file in
// its folder, renamed over it once every byte is on the disk. A symlink
// stays a symlink: the file it points at is replaced.
class ReplacingTarget : public FileTarget {
public:
    explicit ReplacingTarget(std::string path) : target_(std::move(path)) {}
    ~ReplacingTarget() override { Cancel(); }

    bool Open() override {
        if (char* real = ::realpath(target_.c_str(), nullptr)) {
            target_ = real;
            std::free(real);
        }
        struct stat old;
        const bool exists = ::stat(target_.c_str(), &old) == 0;
        const std::size_t slash = target_.rfind('/');
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target_.substr(0, slash);
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            temporary_ = folder + "/.kuv-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
            // Created with the umask's permissions, as a new file would be.
            fd_ = OpenRetrying(temporary_, O_WRONLY | O_CREAT | O_EXCL, 0666);
            if (fd_ < 0 && errno != EEXIST) break;
        }
        if (fd_ < 0) {
            temporary_.clear();
            return false;
        }
        if (exists) ::fchmod(fd_, old.st_mode & 07777);
        return true;
    }
    bool Write(const char* data, std::size_t size) override { return WriteAll(fd_, data, size); }
    bool Flush() override { return ::fsync(fd_) == 0; }
    bool Commit() override {
        if (::close(std::exchange(fd_, -1)) != 0 || ::rename(temporary_.c_str(), target_.c_str()) != 0) return false;
        temporary_.clear();
        return true;
    }
    void Cancel() override {
        if (fd_ >= 0) ::close(std::exchange(fd_, -1));
        if (!temporary_.empty()) ::unlink(std::exchange(temporary_, std::string()).c_str());
    }

private:
    std::string target_;
    std::string temporary_;
    int fd_ = -1;
};

// Writes into something that is not a regular file, such as a device or a
// FIFO, which must stay what it is.
class InPlaceTarget : public FileTarget {
public:
    InPlaceTarget(std::string path, SpecialFiles special) : path_(std::move(path)), special_(special) {}
    ~InPlaceTarget() override { Cancel(); }
    // Without waiting, a FIFO that nobody reads fails at once.
    bool Open() override {
        fd_ = OpenRetrying(path_, O_WRONLY | (special_ == SpecialFiles::NeverBlock ? O_NONBLOCK : 0));
        return fd_ >= 0;
    }
    bool Write(const char* data, std::size_t size) override { return WriteAll(fd_, data, size); }
    bool Flush() override { return true; }  // nothing is buffered
    bool Commit() override { return ::close(std::exchange(fd_, -1)) == 0; }
    void Cancel() override {
        if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    }

private:
    std::string path_;
    SpecialFiles special_;
    int fd_ = -1;
};

FileTargetFactory& TargetFactory() {
    static FileTargetFactory factory;
    return factory;
}

}  // namespace

QString ReadListingFile(const QString& path, std::string& text, std::size_t maxBytes, SpecialFiles special) {
    // Opened without waiting where nothing may block: a FIFO opens at once,
    // and then fails as not being a regular file.
    Descriptor file{OpenRetrying(NativePath(path), O_RDONLY | (special == SpecialFiles::NeverBlock ? O_NONBLOCK : 0))};
    struct stat st;
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0 || S_ISDIR(st.st_mode) ||
        (special == SpecialFiles::NeverBlock && !S_ISREG(st.st_mode)))
        return CannotOpenMessage(path);
    LoadedTextBuilder builder;
    if (S_ISREG(st.st_mode)) builder.ReserveFor(std::min(static_cast<std::size_t>(st.st_size), maxBytes));
    std::string chunk(kReadChunk, '\0');
    for (;;) {
        const ssize_t n = ::read(file.fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return CannotOpenMessage(path);
        if (n == 0 || !builder.Append(std::string_view(chunk.data(), static_cast<std::size_t>(n)))) break;
        if (builder.Size() > maxBytes) return EditorLimitMessage();
    }
    std::string loaded = builder.Finish();
    if (loaded.size() > maxBytes) return EditorLimitMessage();
    text = std::move(loaded);
    return {};
}

QString ReadListingStream(std::istream& in, std::string& text) {
    LoadedTextBuilder builder;
    std::string chunk(kReadChunk, '\0');
    while (in) {
        in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        const std::size_t n = static_cast<std::size_t>(in.gcount());
        if (n == 0 || !builder.Append(std::string_view(chunk.data(), n))) break;
    }
    if (in.bad()) return CannotOpenMessage(QStringLiteral("-"));
    text = builder.Finish();
    return {};
}

std::unique_ptr<FileTarget> FileSystemTarget(const QString& path, SpecialFiles special) {
    std::string native = NativePath(path);
    struct stat st;
    if (::stat(native.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode))
        return std::make_unique<InPlaceTarget>(std::move(native), special);
    return std::make_unique<ReplacingTarget>(std::move(native));
}

void SetFileTargetFactory(FileTargetFactory factory) { TargetFactory() = std::move(factory); }

FileWriter::FileWriter(const QString& path, SpecialFiles special) : path_(path), special_(special) {}

FileWriter::~FileWriter() {
    if (target_) target_->Cancel();
}

QString FileWriter::Create() {
    // A file without write permission counts as read-only even for root,
    // who could otherwise replace it.
    const std::string native = NativePath(path_);
    struct stat st;
    const bool exists = ::stat(native.c_str(), &st) == 0;
    if (exists && (S_ISDIR(st.st_mode) || ::access(native.c_str(), W_OK) != 0 || !(st.st_mode & 0222)))
        return CannotCreateMessage(path_);
    target_ = TargetFactory() ? TargetFactory()(path_) : FileSystemTarget(path_, special_);
    if (!target_->Open()) {
        target_->Cancel();
        target_.reset();
        return CannotCreateMessage(path_);
    }
    return {};
}

QString FileWriter::Commit(const void* data, std::size_t size) {
    const bool written = target_->Write(static_cast<const char*>(data), size) && target_->Flush() && target_->Commit();
    if (!written) target_->Cancel();
    target_.reset();
    return written ? QString() : WriteErrorMessage();
}

QString WriteWholeFile(const QString& path, std::string_view bytes, SpecialFiles special) {
    FileWriter writer(path, special);
    QString failure = writer.Create();
    if (failure.isEmpty()) failure = writer.Commit(bytes.data(), bytes.size());
    return failure;
}

QString WriteToStream(std::ostream& out, std::string_view bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return out ? QString() : WriteErrorMessage();
}

}  // namespace kuv

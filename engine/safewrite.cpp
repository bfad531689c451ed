#include "safewrite.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace sheetcraft {

namespace {

std::string reasonOf(int error) {
    return std::strerror(error);
}

std::string folderOf(const std::string &path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string &path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct Target {
    std::string path; // the file finally named, links followed
    bool exists = false;
    mode_t mode = 0; // permissions of the existing file
};

// Follows symbolic links to the file they finally name, and refuses anything
// but a regular file or a name not yet taken.
std::string resolve(const std::string &path, Target &target) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0) {
            if (errno != ENOENT)
                return reasonOf(errno);
            target.path = current;
            return {};
        }
        if (S_ISLNK(st.st_mode)) {
            char link[4096];
            const ssize_t n = ::readlink(current.c_str(), link, sizeof link);
            if (n < 0)
                return reasonOf(errno);
            if (static_cast<std::size_t>(n) >= sizeof link)
                return reasonOf(ENAMETOOLONG);
            const std::string to(link, static_cast<std::size_t>(n));
            current = to.starts_with('/') ? to : folderOf(current) + "/" + to;
            continue;
        }
        if (S_ISDIR(st.st_mode))
            return reasonOf(EISDIR);
        if (!S_ISREG(st.st_mode))
            return "Not a regular file";
        target.path = current;
        target.exists = true;
        target.mode = st.st_mode & 07777;
        return {};
    }
    return reasonOf(ELOOP);
}

// A new, empty temporary file beside the target. Created with the usual
// permissions so that the user's umask applies to a new file.
int createTemporary(const Target &target, std::string &temporary) {
    // Short enough that the temporary name fits wherever the target's does.
    const std::string base = folderOf(target.path) + "/." + nameOf(target.path).substr(0, 64) + ".";
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto stamp = static_cast<unsigned long long>(
            std::chrono::steady_clock::now().time_since_epoch().count());
        temporary = base + std::to_string(::getpid()) + "-" + std::to_string(++counter) + "-" +
                    std::to_string(stamp % 1000000) + ".tmp";
        const int fd =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

std::string writeAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1 << 20);
        const ssize_t n = ::write(fd, bytes.data() + done, chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return reasonOf(errno);
        if (n == 0)
            return reasonOf(ENOSPC);
        done += static_cast<std::size_t>(n);
    }
    return {};
}

} // namespace

std::string writeFileSafely(const std::string &path, std::string_view bytes) {
    if (path.empty())
        return reasonOf(ENOENT);
    Target target;
    if (std::string refused = resolve(path, target); !refused.empty())
        return refused;

    std::string temporary;
    const int fd = createTemporary(target, temporary);
    if (fd < 0)
        return reasonOf(errno);

    std::string failure;
    if (target.exists && ::fchmod(fd, target.mode) != 0)
        failure = reasonOf(errno);
    if (failure.empty())
        failure = writeAll(fd, bytes);
    // A full disk may only show when the data reaches it.
    if (failure.empty() && ::fsync(fd) != 0)
        failure = reasonOf(errno);
    if (::close(fd) != 0 && failure.empty())
        failure = reasonOf(errno);
    if (failure.empty() && ::rename(temporary.c_str(), target.path.c_str()) != 0)
        failure = reasonOf(errno);
    if (!failure.empty()) {
        ::unlink(temporary.c_str());
        return failure;
    }

    // Make the rename itself durable; the file is already complete either way.
    const int folder = ::open(folderOf(target.path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}

} // namespace sheetcraft

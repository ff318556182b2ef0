#include "base/TextFile.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "base/BigArray.h"
#include "base/ProgramName.h"

namespace fs = std::filesystem;

namespace tabulon {

namespace {

constexpr std::size_t kBlock = std::size_t{64} << 10;
constexpr std::size_t kLargestLineBlock = std::size_t{1} << 20;

std::string ErrorText(int error) { return std::generic_category().message(error); }

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
    for (;;) {
        const int fd = ::open(path, flags, mode);
        if (fd >= 0 || errno != EINTR) return fd;
    }
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size);
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += done;
        size -= static_cast<std::size_t>(done);
    }
    return true;
}

long long ReadSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0 || errno != EINTR) return got;
    }
}

// Copies the whole of from over the start of to; false with errno set.
bool CopyContents(int from, int to) {
    if (::lseek(from, 0, SEEK_SET) < 0 || ::lseek(to, 0, SEEK_SET) < 0) return false;
    std::unique_ptr<char[]> block(new char[kBlock]);
    for (;;) {
        const long long got = ReadSome(from, block.get(), kBlock);
        if (got < 0) return false;
        if (got == 0) return true;
        if (!WriteAll(to, block.get(), static_cast<std::size_t>(got))) return false;
    }
}

// Whether two open files hold the same bytes.
bool SameContents(int a, int b) {
    if (::lseek(a, 0, SEEK_SET) < 0 || ::lseek(b, 0, SEEK_SET) < 0) return false;
    std::unique_ptr<char[]> left(new char[kBlock]);
    std::unique_ptr<char[]> right(new char[kBlock]);
    for (;;) {
        const long long got = ReadSome(a, left.get(), kBlock);
        if (got < 0) return false;
        long long have = 0;
        while (have < got) {
            const long long more = ReadSome(b, right.get() + have, static_cast<std::size_t>(got - have));
            if (more <= 0) return false;
            have += more;
        }
        if (std::memcmp(left.get(), right.get(), static_cast<std::size_t>(got)) != 0) return false;
        if (got == 0) return ReadSome(b, right.get(), 1) == 0;
    }
}

std::string FolderOf(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() ? std::string(".") : folder.string();
}

// A link (whose lstat is link) that the system would not follow for us: it
// lies in a folder that is sticky and writable by all, and neither we nor
// the folder's owner made it. Another user may plant such a link to make
// us overwrite a file of ours; resolving it by hand must not bypass the rule.
bool IsPlantedLink(const std::string& path, const struct stat& link) {
    if (link.st_uid == ::geteuid()) return false;
    struct stat folder {};
    if (::stat(FolderOf(path).c_str(), &folder) != 0) return false;
    const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
    return shared && link.st_uid != folder.st_uid;
}

// The file a path names once every symbolic link on its end is followed,
// so that saving writes that file and the link stays a link. False, with
// the link in refused, when a link on the way is a planted one.
bool FollowLinks(const std::string& path, std::string& target, std::string& refused) {
    fs::path at(path);
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        if (IsPlantedLink(at.string(), st)) {
            refused = at.string();
            return false;
        }
        std::error_code ec;
        const fs::path to = fs::read_symlink(at, ec);
        if (ec) break;
        at = to.is_absolute() ? to : at.parent_path() / to;
    }
    target = at.string();
    return true;
}

// ---- temporary files that a signal removes ----

// Fixed places that a signal handler may read without locks or allocation:
// state 0 free, 1 being filled, 2 a file to remove.
constexpr int kScratchSlots = 16;
struct ScratchSlot {
    std::atomic<int> state{0};
    char path[PATH_MAX];
};
ScratchSlot g_scratch[kScratchSlots];
static_assert(std::atomic<int>::is_always_lock_free);

int RememberScratch(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < kScratchSlots; ++i) {
        int expected = 0;
        if (!g_scratch[i].state.compare_exchange_strong(expected, 1)) continue;
        std::memcpy(g_scratch[i].path, path.c_str(), path.size() + 1);
        g_scratch[i].state.store(2);
        return i;
    }
    return -1;  // more saves at once than places: that one is not removed
}

void ForgetScratch(int& slot) {
    if (slot >= 0) g_scratch[slot].state.store(0);
    slot = -1;
}

// While work that must tidy up first runs, the signal that came; 0 none.
std::atomic<int> g_deferring{0};
std::atomic<int> g_deferredSignal{0};

void RemoveScratchFiles() {
    for (ScratchSlot& slot : g_scratch)
        if (slot.state.load() == 2) ::unlink(slot.path);
}

// Only async-signal-safe calls: unlink, and the return that lets the
// signal, now back at its default, end the program. Deferred, it is only
// noted: the work stops, tidies up and then ends the program itself.
extern "C" void RemoveScratchFilesAndEnd(int signal) {
    if (g_deferring.load() > 0) {
        g_deferredSignal.store(signal);
        return;
    }
    RemoveScratchFiles();
    ::raise(signal);  // blocked until the handler returns, then delivered
}

bool MayWriteFolder(const std::string& folder) { return ::access(folder.c_str(), W_OK | X_OK) == 0; }

// A name no other file has, for a file that lives only while a save runs.
std::string ScratchName(const std::string& folder, const std::string& path, const char* kind) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string name = ".";
    name += fs::path(path).filename().string();
    name += kind;
    name += std::to_string(stamp);
    name += '-';
    name += std::to_string(counter++);
    return (fs::path(folder) / name).string();
}

// Made new, for this process alone, readable and writable by its owner
// only; a link or anything else of that name makes it fail. It is among the
// files a signal removes (slot) before it exists, so that no moment passes
// in which the program could be ended and leave it behind.
int CreateScratch(const std::string& path, int& slot) {
    slot = RememberScratch(path);
    const int fd = OpenRetrying(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) ForgetScratch(slot);
    return fd;
}

// Allocates nothing: a save fills its stamp once the file is written.
void FillStamp(FileStamp& stamp, const struct stat& st) noexcept {
    stamp.present = S_ISREG(st.st_mode);
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    stamp.size = static_cast<std::uint64_t>(st.st_size);
    stamp.seconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    stamp.nanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
}

FileStamp StampOf(const std::string& path, const struct stat& st) {
    FileStamp stamp;
    stamp.path = path;
    FillStamp(stamp, st);
    return stamp;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

void RemoveTemporaryFilesOnSignals() {
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
        struct sigaction action {};
        action.sa_handler = RemoveScratchFilesAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;  // the second of a signal ends the program at once
        ::sigaction(signal, &action, nullptr);
    }
}

CEndingDeferred::CEndingDeferred() { g_deferring.fetch_add(1); }

CEndingDeferred::~CEndingDeferred() {
    // Counted down first: a signal after this ends the program by itself.
    if (g_deferring.fetch_sub(1) != 1) return;
    const int signal = g_deferredSignal.exchange(0);
    if (signal == 0) return;
    RemoveScratchFiles();
    ::signal(signal, SIG_DFL);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(signal);
}

bool EndingSignalArrived() { return g_deferredSignal.load() != 0; }

PathKind KindOfPath(const std::string& path) {
    if (path.empty()) return PathKind::Missing;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? PathKind::Missing : PathKind::Unreachable;
    if (S_ISREG(st.st_mode)) return PathKind::File;
    if (S_ISDIR(st.st_mode)) return PathKind::Folder;
    return PathKind::Other;
}

bool FileExists(const std::string& path) { return KindOfPath(path) == PathKind::File; }

std::string NotAFileText(const std::string& path) {
    switch (KindOfPath(path)) {
    case PathKind::Folder: return "is a folder";
    case PathKind::Other: return "is not a regular file";
    default: return {};
    }
}

std::string WithFileName(std::string_view text, const std::string& path) {
    if (path.empty()) return std::string(text);
    const std::size_t lineEnd = text.find('\n');
    if (lineEnd == std::string_view::npos) return std::string(text) + "\n" + path;
    std::string named(text.substr(0, lineEnd));
    named += "\n" + path;
    named += text.substr(lineEnd);
    return named;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec);
    std::error_code leftError, rightError;
    const fs::path left = fs::weakly_canonical(fs::absolute(a, leftError), leftError);
    const fs::path right = fs::weakly_canonical(fs::absolute(b, rightError), rightError);
    return !leftError && !rightError && left == right;
}

FileStamp StampOfFile(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        FileStamp none;
        none.path = path;
        return none;
    }
    return StampOf(path, st);
}

bool ChangedSince(const FileStamp& stamp, const std::string& path) {
    if (stamp.path.empty() || (stamp.path != path && !IsSameFile(stamp.path, path))) return false;
    const FileStamp now = StampOfFile(path);
    if (!now.present) return false;
    if (!stamp.present) return true;
    return now.device != stamp.device || now.inode != stamp.inode || now.size != stamp.size ||
           now.seconds != stamp.seconds || now.nanoseconds != stamp.nanoseconds;
}

std::string ChangedFileQuestion(const std::string& path, std::string_view with) {
    std::string text = "The file\n" + path + "\nwas changed by another program after ";
    text += kProgramName;
    text += " read it.\n\nReplace it with ";
    text += with;
    text += "? The other program's changes will be lost.";
    return text;
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return false;
    // A file its owner has marked read-only stays so even for root.
    if (!(st.st_mode & S_IWUSR)) return true;
    return ::access(path.c_str(), W_OK) != 0;
}

std::string OutOfMemoryText(std::string_view doing, const std::string& path, std::string_view outcome) {
    std::string text = "Not enough memory to ";
    text += doing;
    text += "\n" + path + "\n\n";
    text += outcome;
    return text;
}

std::string ReadOnlyFileText(std::string_view what, const std::string& path) {
    std::string text = "The ";
    text += what;
    text += " file\n" + path + "\nis read-only.\n\nNothing was saved.";
    return text;
}

// ---- reading ----

CFileReader::~CFileReader() {
    if (m_fd >= 0) ::close(m_fd);
}

bool CFileReader::Open(const std::string& path) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    m_size = 0;
    m_stamp = FileStamp{};
    m_error.clear();
    switch (KindOfPath(path)) {
    case PathKind::Missing: m_error = "does not exist"; return false;
    case PathKind::Folder: m_error = "is a folder"; return false;
    case PathKind::Other: m_error = "is not a regular file"; return false;
    default: break;
    }
    // Without waiting, should a pipe have taken the file's place meanwhile.
    const int fd = OpenRetrying(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        m_error = errno == ENOENT ? "does not exist" : "could not be read: " + ErrorText(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        m_error = S_ISDIR(st.st_mode) ? "is a folder" : "is not a regular file";
        ::close(fd);
        return false;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    m_fd = fd;
    m_size = static_cast<std::uintmax_t>(st.st_size);
    m_stamp = StampOf(path, st);
    return true;
}

long long CFileReader::Read(char* buffer, std::size_t size) {
    if (m_fd < 0) return -1;
    const long long got = ReadSome(m_fd, buffer, size);
    if (got < 0) m_error = "could not be read: " + ErrorText(errno);
    return got;
}

bool CFileReader::ReadBlocks(std::size_t size, const std::function<void(std::string_view)>& onBlock) {
    const CBigBlock block(size);
    for (;;) {
        const long long got = Read(block.get(), size);
        if (got < 0) return false;
        if (got == 0) return true;
        onBlock(std::string_view(block.get(), static_cast<std::size_t>(got)));
    }
}

bool ReadFileLines(const std::string& path, const FileLineHandler& onLine, std::string& reason, FileStamp* stamp) {
    CFileReader in;
    if (!in.Open(path)) {
        reason = in.Error();
        return false;
    }
    if (stamp) *stamp = in.Stamp();
    // As large as the file, up to a limit: a small file costs a small buffer.
    const std::size_t size =
        std::clamp<std::uintmax_t>(in.Size() + 1, std::uintmax_t{4096}, std::uintmax_t{kLargestLineBlock});
    std::string pending;  // a line begun in an earlier block
    std::uint64_t read = 0;
    const bool whole = in.ReadBlocks(size, [&](std::string_view data) {
        read += data.size();
        std::size_t start = 0;
        for (std::size_t lf; (lf = data.find('\n', start)) != std::string_view::npos; start = lf + 1) {
            if (pending.empty()) {
                onLine(data.substr(start, lf - start), read, in.Size());
            } else {
                pending.append(data.substr(start, lf - start));
                onLine(pending, read, in.Size());
                pending.clear();
            }
        }
        pending.append(data.substr(start));
    });
    if (!whole) {
        reason = in.Error();
        return false;
    }
    // A file that ends before its size is not the whole of it: a list loaded
    // from it would be saved back cut short.
    if (read < in.Size()) {
        reason = "changed while it was read";
        return false;
    }
    if (!pending.empty()) onLine(pending, read, in.Size());
    return true;
}

bool ReadTextLines(const std::string& path, const std::function<void(std::string_view)>& onLine) {
    std::string reason;
    return ReadFileLines(
        path,
        [&](std::string_view line, std::uint64_t, std::uint64_t) {
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            onLine(line);
        },
        reason);
}

// ---- writing ----

CSafeFileWriter::~CSafeFileWriter() { Abandon(); }

bool CSafeFileWriter::Fail(const std::string& error) {
    Abandon();
    m_error = error;
    return false;
}

bool CSafeFileWriter::Open(const std::string& path, bool ownerOnly) {
    Abandon();
    m_error.clear();
    m_buffer.clear();
    m_writeError = 0;
    m_inPlace = false;
    m_newMode.reset();
    m_written = FileStamp{};
    m_written.path = path;
    m_path = path;
    m_ownerOnly = ownerOnly;
    if (path.empty()) return Fail("no file is named");
    std::string planted;
    if (!FollowLinks(path, m_target, planted))
        return Fail(planted +
                    " is a link that another user made in a folder that everyone may write; it was "
                    "not followed, so that no file of yours is overwritten through it");

    struct stat st {};
    m_existed = ::stat(m_target.c_str(), &st) == 0;
    if (!m_existed && errno != ENOENT) return Fail("cannot reach " + path + ": " + ErrorText(errno));
    const bool regular = m_existed && S_ISREG(st.st_mode);
    // A folder in the way is found when it cannot be replaced.
    if (m_existed && !regular && !S_ISDIR(st.st_mode)) return Fail(path + " is not a regular file");
    if (regular && ::access(m_target.c_str(), W_OK) != 0) return Fail("cannot write " + path + ": " + ErrorText(errno));
    m_oldMode = st.st_mode & 07777;
    const std::string folder = FolderOf(m_target);

    // Replacing the file by a new one keeps everything that makes it this
    // file only when it has no other name, is ours and its folder lets us.
    bool replace = !regular || (st.st_nlink == 1 && st.st_uid == ::geteuid() && MayWriteFolder(folder));
    if (replace) {
        m_staging = ScratchName(folder, m_target, ".tmp");
        m_fd = CreateScratch(m_staging, m_stagingSlot);
        if (m_fd < 0) {
            if (!regular) return Fail("cannot create a file in the folder of " + path + ": " + ErrorText(errno));
            replace = false;
        } else if (regular && st.st_gid != ::getegid() && ::fchown(m_fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
            // A group we cannot give the new file: the old one keeps it.
            ::close(m_fd);
            ::unlink(m_staging.c_str());
            ForgetScratch(m_stagingSlot);
            m_fd = -1;
            replace = false;
        }
    }
    if (!replace) {
        m_inPlace = true;
        const std::string scratch = MayWriteFolder(folder) ? folder : fs::temp_directory_path().string();
        m_staging = ScratchName(scratch, m_target, ".new");
        m_fd = CreateScratch(m_staging, m_stagingSlot);
        if (m_fd < 0) return Fail("cannot make a temporary copy of " + path + ": " + ErrorText(errno));
    }
    m_open = true;
    return true;
}

void CSafeFileWriter::Write(std::string_view text) {
    if (!m_open || m_writeError) return;
    if (m_buffer.empty() && text.size() >= kBlock) {
        if (!WriteAll(m_fd, text.data(), text.size())) m_writeError = errno;
        return;
    }
    m_buffer.append(text);
    if (m_buffer.size() >= kBlock) FlushBuffer();
}

bool CSafeFileWriter::FlushBuffer() {
    if (!m_writeError && !m_buffer.empty() && !WriteAll(m_fd, m_buffer.data(), m_buffer.size())) m_writeError = errno;
    m_buffer.clear();
    return m_writeError == 0;
}

bool CSafeFileWriter::Commit() {
    if (!m_open) {
        if (m_error.empty()) m_error = "the file was not opened";
        return false;
    }
    if (!FlushBuffer()) return Fail("cannot write " + m_path + ": " + ErrorText(m_writeError));
    const bool done = m_inPlace ? CommitInPlace() : CommitByRename();
    if (!done) return false;
    m_open = false;
    return true;
}

bool CSafeFileWriter::CommitByRename() {
    mode_t mode = m_existed ? static_cast<mode_t>(m_oldMode) : NewFileMode();
    // The configuration holds a password: nobody but its owner reads it.
    if (m_ownerOnly) mode = m_existed ? (mode & 0600) : 0600;
    if (m_newMode) mode = static_cast<mode_t>(*m_newMode & 07777);
    if (::fchmod(m_fd, mode) != 0) return Fail("cannot set the permissions of " + m_path + ": " + ErrorText(errno));
    // The rename keeps the file and its time: this is what the name will show.
    struct stat written {};
    const bool stamped = ::fstat(m_fd, &written) == 0;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) return Fail("cannot write " + m_path + ": " + ErrorText(errno));
    if (::rename(m_staging.c_str(), m_target.c_str()) != 0)
        return Fail("cannot replace " + m_path + ": " + ErrorText(errno));
    ForgetScratch(m_stagingSlot);
    m_staging.clear();
    if (stamped) FillStamp(m_written, written);
    return true;
}

bool CSafeFileWriter::CommitInPlace() {
    // The links were followed and checked at Open; one put there since is not.
    const int target = OpenRetrying(m_target.c_str(), O_RDWR | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    if (target < 0) return Fail("cannot write " + m_path + ": " + ErrorText(errno));
    struct stat st {};
    if (::fstat(target, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(target);
        return Fail(m_path + " is not a regular file");
    }
    // First a copy of the old text, on disk and read back the same: only
    // then may the file itself be overwritten.
    const std::string backupPath = ScratchName(FolderOf(m_staging), m_target, ".old");
    int backupSlot = -1;
    const int backup = CreateScratch(backupPath, backupSlot);
    const bool saved =
        backup >= 0 && CopyContents(target, backup) && ::fsync(backup) == 0 && SameContents(target, backup);
    // From here on the copy may be all that is left of the old text, should
    // the program be ended while the file is overwritten: a signal keeps it.
    ForgetScratch(backupSlot);
    if (!saved) {
        const int error = errno;
        if (backup >= 0) {
            ::close(backup);
            ::unlink(backupPath.c_str());
        }
        ::close(target);
        return Fail("cannot make a safety copy of " + m_path + " before writing it: " + ErrorText(error));
    }
    const off_t newSize = ::lseek(m_fd, 0, SEEK_END);
    const bool written =
        newSize >= 0 && CopyContents(m_fd, target) && ::ftruncate(target, newSize) == 0 && ::fsync(target) == 0;
    if (!written) {
        const int error = errno;
        const bool restored =
            CopyContents(backup, target) && ::ftruncate(target, st.st_size) == 0 && ::fsync(target) == 0;
        ::close(backup);
        ::close(target);
        if (!restored)
            return Fail("cannot write " + m_path + ": " + ErrorText(error) + "; its old contents are kept in " +
                        backupPath);
        ::unlink(backupPath.c_str());
        // The callers say that the file is as it was.
        return Fail("cannot write " + m_path + ": " + ErrorText(error));
    }
    if (m_ownerOnly && st.st_uid == ::geteuid() && (st.st_mode & 077)) ::fchmod(target, st.st_mode & 07700);
    struct stat now {};
    const bool stamped = ::fstat(target, &now) == 0;
    ::close(backup);
    ::unlink(backupPath.c_str());
    const bool closed = ::close(target) == 0;
    ::close(m_fd);
    m_fd = -1;
    ::unlink(m_staging.c_str());
    ForgetScratch(m_stagingSlot);
    m_staging.clear();
    if (!closed) return Fail("cannot write " + m_path + ": " + ErrorText(errno));
    if (stamped) FillStamp(m_written, now);
    return true;
}

void CSafeFileWriter::Abandon() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
    if (!m_staging.empty()) ::unlink(m_staging.c_str());
    ForgetScratch(m_stagingSlot);
    m_staging.clear();
    m_buffer.clear();
    m_open = false;
}

}  // namespace tabulon

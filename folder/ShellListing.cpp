#include "folder/ShellListing.h"

#include <QByteArray>
#include <QFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace quorlin::folder {
namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

std::optional<pid_t> Spawn(const QStringList& arguments, int stdoutFd) {
    std::vector<QByteArray> encoded;
    for (const QString& argument : arguments) encoded.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& bytes : encoded) argv.push_back(bytes.data());
    argv.push_back(nullptr);

    SpawnActions actions;
    if (posix_spawn_file_actions_adddup2(actions.get(), stdoutFd, STDOUT_FILENO) != 0) return std::nullopt;
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], actions.get(), nullptr, argv.data(), environ) != 0) return std::nullopt;
    return pid;
}

int32_t ReadLinesUntilClosed(int fd) {
    LineCounter counter;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0)
            counter.feed(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    return counter.lines();
}

void Reap(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

QString EnvironmentValueIgnoringCase(const QString& name) {
    for (char** entry = environ; entry && *entry; ++entry) {
        const QString text = QString::fromLocal8Bit(*entry);
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (equals > 0 && text.left(equals).compare(name, Qt::CaseInsensitive) == 0) return text.mid(equals + 1);
    }
    return QString();
}

void LineCounter::feed(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            ++complete_;
            pending_ = false;
        } else {
            pending_ = true;
        }
    }
}

std::optional<int32_t> CountOutputLines(const QStringList& arguments) {
    if (arguments.isEmpty() || arguments.first().isEmpty()) return std::nullopt;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
    Fd readEnd(ends[0]);
    Fd writeEnd(ends[1]);
    const std::optional<pid_t> pid = Spawn(arguments, writeEnd.get());
    writeEnd.reset();  // our copy must go, or the pipe never reports its end
    if (!pid) return std::nullopt;
    const int32_t lines = ReadLinesUntilClosed(readEnd.get());
    Reap(*pid);
    return lines;
}

}  // namespace quorlin::folder

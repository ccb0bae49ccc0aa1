#include "bench/ChildProcess.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

static double toMs(const timeval& t) {
    return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0;
}

double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return toMs(usage.ru_utime) + toMs(usage.ru_stime);
}

double childrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return toMs(usage.ru_utime) + toMs(usage.ru_stime);
}

namespace {
// argv and envp as posix_spawn wants them, kept alive for the call.
struct SpawnArguments {
    std::vector<QByteArray> storage;
    std::vector<char*> argv;
    std::vector<char*> envp;

    SpawnArguments(const QStringList& arguments, const QStringList& env) {
        for (const QString& a : arguments)
            storage.push_back(a.toLocal8Bit());
        const std::size_t argumentCount = storage.size();
        for (const QString& e : env)
            storage.push_back(e.toLocal8Bit());
        for (std::size_t i = 0; i < argumentCount; ++i)
            argv.push_back(storage[i].data());
        argv.push_back(nullptr);
        QStringList overridden;
        for (const QString& e : env)
            overridden << e.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
        for (char** e = environ; *e; ++e) {
            const QString entry = QString::fromLocal8Bit(*e);
            bool replaced = false;
            for (const QString& name : overridden)
                replaced = replaced || entry.startsWith(name);
            if (!replaced)
                envp.push_back(*e);
        }
        for (std::size_t i = argumentCount; i < storage.size(); ++i)
            envp.push_back(storage[i].data());
        envp.push_back(nullptr);
    }
};

struct FileActions {
    posix_spawn_file_actions_t actions{};
    FileActions() { posix_spawn_file_actions_init(&actions); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
};

void redirectStderr(FileActions& files, const QString& stderrPath, QByteArray& storage) {
    storage = stderrPath.isEmpty() ? QByteArray("/dev/null") : QFile::encodeName(stderrPath);
    posix_spawn_file_actions_addopen(&files.actions, 2, storage.constData(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
}

pid_t spawn(const QStringList& argv, const QStringList& env, FileActions& files) {
    SpawnArguments arguments(argv, env);
    pid_t pid = -1;
    if (posix_spawnp(&pid, arguments.argv[0], &files.actions, nullptr, arguments.argv.data(),
                     arguments.envp.data()) != 0)
        return -1;
    return pid;
}
} // namespace

ChildResult runChild(const QStringList& argv, const QStringList& env, bool captureOutput,
                     const QString& stderrPath) {
    ChildResult result;
    FileActions files;
    QByteArray stderrName;
    redirectStderr(files, stderrPath, stderrName);
    int pipeFds[2] = {-1, -1};
    if (captureOutput) {
        if (pipe(pipeFds) != 0)
            return result;
        posix_spawn_file_actions_adddup2(&files.actions, pipeFds[1], 1);
        posix_spawn_file_actions_addclose(&files.actions, pipeFds[0]);
        posix_spawn_file_actions_addclose(&files.actions, pipeFds[1]);
    } else {
        posix_spawn_file_actions_addopen(&files.actions, 1, "/dev/null", O_WRONLY, 0);
    }
    const qint64 start = monotonicNs();
    const pid_t pid = spawn(argv, env, files);
    if (captureOutput) {
        close(pipeFds[1]);
        if (pid > 0) {
            char buffer[65536];
            for (;;) {
                const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
                if (n > 0)
                    result.output.append(buffer, n);
                else if (n == 0 || errno != EINTR)
                    break;
            }
        }
        close(pipeFds[0]);
    }
    if (pid <= 0)
        return result;
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    result.wallMs = double(monotonicNs() - start) / 1e6;
    result.cpuMs = toMs(usage.ru_utime) + toMs(usage.ru_stime);
    result.exited = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

RunningChild::RunningChild(const QStringList& argv, const QStringList& env,
                           const QString& stderrPath) {
    FileActions files;
    QByteArray stderrName;
    redirectStderr(files, stderrPath, stderrName);
    posix_spawn_file_actions_addopen(&files.actions, 1, "/dev/null", O_WRONLY, 0);
    pid_ = spawn(argv, env, files);
}

RunningChild::~RunningChild() {
    stop();
}

bool RunningChild::running() const {
    return pid_ > 0 && kill(pid_, 0) == 0;
}

bool RunningChild::ended() {
    int status = 0;
    if (pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_)
        pid_ = -1;
    return pid_ <= 0;
}

static QList<QByteArray> statFields(pid_t pid) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = file.readAll();
    // The command name may hold blanks; the fields after it are plain.
    const qsizetype close = line.lastIndexOf(')');
    return close < 0 ? QList<QByteArray>{} : line.mid(close + 2).split(' ');
}

double RunningChild::cpuMs() const {
    const QList<QByteArray> fields = statFields(pid_);
    // utime and stime are fields 14 and 15 of the whole line, 12 and 13 after the name.
    if (fields.size() < 13)
        return 0;
    const double ticks = fields[11].toDouble() + fields[12].toDouble();
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

qint64 peakMemoryKiBFrom(const QString& statusFile) {
    QFile file(statusFile);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return 0;
}

qint64 RunningChild::peakMemoryKiB() const {
    return peakMemoryKiBFrom(QStringLiteral("/proc/%1/status").arg(pid_));
}

void RunningChild::stop() {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    int status = 0;
    // A child that ignores the request for two seconds is killed.
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        usleep(10000);
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

// Shared pieces of the platform tests: a home folder of the test's own, file helpers, and the
// conditions of a failed save made real: read-only folders, and a disk that takes only part of
// a write.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <optional>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <csignal>
#endif

namespace pile::test {

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Bytes written as hex pairs, so that a failed comparison shows where the bytes differ.
inline std::string Hex(const QByteArray& bytes) {
    return bytes.toHex(' ').toStdString();
}

// HOME and XDG_CONFIG_HOME point at an empty temporary folder for the length of one test:
// QStandardPaths then names <home>/Documents, which does not exist yet. Windows names its
// documents folder itself, whatever HOME says: there these tests are skipped (the session
// under wine saves into the real one).
class TemporaryHomeTest : public ::testing::Test {
  protected:
    void SetUp() override {
#ifdef Q_OS_WIN
        GTEST_SKIP() << "HOME does not move the documents folder of Windows";
#endif
        ASSERT_TRUE(home_.isValid());
        Remember("HOME", savedHome_);
        Remember("XDG_CONFIG_HOME", savedConfig_);
        qputenv("HOME", QFile::encodeName(home_.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home_.path() + QStringLiteral("/.config")));
    }
    void TearDown() override {
#ifdef Q_OS_WIN
        return;
#endif
        Restore("HOME", savedHome_);
        Restore("XDG_CONFIG_HOME", savedConfig_);
    }

    QString Home() const {
        return QDir::cleanPath(home_.path());
    }
    QString Documents() const {
        return Home() + QStringLiteral("/Documents");
    }

  private:
    static void Remember(const char* name, std::optional<QByteArray>& saved) {
        saved = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<QByteArray>& saved) {
        if (saved) {
            qputenv(name, *saved);
        } else {
            qunsetenv(name);
        }
    }

    QTemporaryDir home_;
    std::optional<QByteArray> savedHome_;
    std::optional<QByteArray> savedConfig_;
};

// A read-only folder refuses root too for the life of this object: the calling thread drops
// the two capabilities that let root pass permission checks (nothing changes for other users).
class PermissionChecksApply {
  public:
    PermissionChecksApply() {
#ifdef Q_OS_LINUX
        if (syscall(SYS_capget, &header_, saved_) != 0) {
            return;
        }
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        dropped_ = syscall(SYS_capset, &header_, lowered) == 0;
#endif
    }
    ~PermissionChecksApply() {
#ifdef Q_OS_LINUX
        if (dropped_) {
            syscall(SYS_capset, &header_, saved_);
        }
#endif
    }
    PermissionChecksApply(const PermissionChecksApply&) = delete;
    PermissionChecksApply& operator=(const PermissionChecksApply&) = delete;

  private:
#ifdef Q_OS_LINUX
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
#endif
};

// Whether `folder` really refuses a new file (false where the test cannot make it so).
inline bool RefusesNewFiles(const QString& folder) {
    QFile probe(folder + QStringLiteral("/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        return false;
    }
    return true;
}

// For the life of this object a write that would make a file longer than `bytes` writes up to
// that size and returns the short count, as a disk that fills part-way through the write does.
// (The kernel's file size limit: the real write path, without root or a small disk.)
class FileSizeLimit {
  public:
    explicit FileSizeLimit(qint64 bytes) {
#ifdef Q_OS_LINUX
        previousSignal_ = std::signal(SIGXFSZ, SIG_IGN);  // the next write fails, no signal
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
#else
        Q_UNUSED(bytes);
#endif
    }
    ~FileSizeLimit() {
#ifdef Q_OS_LINUX
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousSignal_);
#endif
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Active() const {
        return active_;
    }

  private:
    bool active_ = false;
#ifdef Q_OS_LINUX
    rlimit saved_{};
    void (*previousSignal_)(int) = SIG_DFL;
#endif
};

}  // namespace pile::test

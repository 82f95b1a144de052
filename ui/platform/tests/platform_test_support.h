// Shared pieces of the platform tests: a home folder of the test's own, file helpers.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <optional>

namespace pile::platform::testing {

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

}  // namespace pile::platform::testing

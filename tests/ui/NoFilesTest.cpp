// The program writes no files: a whole session, its web engine's helper
// processes included, traced with strace while HOME and every XDG folder
// point into a folder of their own. Nothing may be created outside the
// system's temporary folder and shared memory, and what was created there
// must be gone when the program has ended.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Creation {
    QString thread;
    bool itsThreadsLastPath = false; // the thread named no other path after it
};

// The paths that the traced calls created (files opened with O_CREAT, folders,
// device nodes, links and the targets of renames), each with the thread that
// created it last and whether that thread went on to anything else (a call
// on the file it holds, named by an empty path, is not).
QMap<QString, Creation> CreatedPaths(const QString& trace)
{
    static const QRegularExpression opened(QString::fromLatin1(R"re(\b(?:open|openat|creat)\((?:[^"]*, )?"([^"]*)", ([^)]*)\))re"));
    static const QRegularExpression made(QString::fromLatin1(R"re(\b(?:mkdir|mkdirat|mknod|mknodat)\((?:[^"]*, )?"([^"]*)")re"));
    static const QRegularExpression linked(
        QString::fromLatin1(R"re(\b(?:link|linkat|symlink|symlinkat|rename|renameat|renameat2)\(.*"[^"]*".*"([^"]*)")re"));
    QMap<QString, Creation> paths;
    static const QRegularExpression namesAPath(QString::fromLatin1(R"re("[^"]+")re"));
    QMap<QString, QString> lastCreatedBy; // thread -> the path it created, while it names no other
    for (const QString& line : trace.split(u'\n')) {
        const QString thread = line.section(u' ', 0, 0);
        const QString call = line.section(u' ', 1).trimmed();
        if (thread.isEmpty() || call.startsWith(QStringLiteral("+++")) || call.startsWith(QStringLiteral("---")))
            continue;
        if (const QString previous = lastCreatedBy.value(thread);
            !previous.isEmpty() && namesAPath.match(line).hasMatch() && !line.contains(u'"' + previous + u'"')) {
            lastCreatedBy.remove(thread);
            if (paths[previous].thread == thread)
                paths[previous].itsThreadsLastPath = false;
        }
        QString path;
        if (const auto m = opened.match(line); m.hasMatch()) {
            if (m.captured(2).contains(QStringLiteral("O_CREAT")) || line.contains(QStringLiteral(" creat(")))
                path = m.captured(1);
        } else if (const auto d = made.match(line); d.hasMatch()) {
            path = d.captured(1);
        } else if (const auto l = linked.match(line); l.hasMatch()) {
            path = l.captured(1);
        }
        if (!path.isEmpty()) {
            paths.insert(path, {thread, true});
            lastCreatedBy.insert(thread, path);
        }
    }
    return paths;
}

TEST(NoFiles, AWholeSessionCreatesNothingOutsideTheTemporaryFolder)
{
    // Not under the system's temporary folder, so that anything written here counts.
    QTemporaryDir own(QDir::currentPath() + QStringLiteral("/no-files-XXXXXX"));
    ASSERT_TRUE(own.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), own.filePath(QStringLiteral("home")));
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"}) {
        const QString folder = own.filePath(QString::fromLatin1(name).toLower());
        ASSERT_TRUE(QDir().mkpath(folder));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert(QString::fromLatin1(name), folder);
    }
    ASSERT_TRUE(QDir().mkpath(own.filePath(QStringLiteral("home"))));

    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    ASSERT_FALSE(strace.isEmpty()) << "strace is not installed";
    const QString trace = own.filePath(QStringLiteral("trace.txt"));
    QProcess session;
    session.setProcessEnvironment(env);
    session.start(strace, {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-s"), QStringLiteral("4096"),
                           QStringLiteral("-e"), QStringLiteral("trace=%file"), QStringLiteral("-e"),
                           QStringLiteral("status=successful"), QStringLiteral("-o"), trace,
                           QCoreApplication::applicationDirPath() + QStringLiteral("/session_probe")});
    ASSERT_TRUE(session.waitForFinished(120000));
    ASSERT_EQ(session.exitCode(), 0) << session.readAllStandardError().toStdString();
    EXPECT_TRUE(session.readAllStandardOutput().contains("movie shown"));

    QFile traced(trace);
    ASSERT_TRUE(traced.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(traced.readAll());
    const QMap<QString, Creation> created = CreatedPaths(text);
    ASSERT_FALSE(created.isEmpty()) << "the trace saw no file being created at all";

    const QString temporary = QDir::tempPath() + u'/';
    QStringList outside, leftBehind;
    for (const auto& [path, creation] : created.asKeyValueRange()) {
        const bool shared = path.startsWith(QStringLiteral("/dev/shm/"));
        if (path.startsWith(temporary) || shared) {
            // The engine creates its shared memory as a file and unlinks it at
            // once; a helper that ends at the end (killed, or by a fast exit,
            // slowed here by the trace) may end in between, and then its file
            // stays. Any other file still there is left behind.
            if (!QFileInfo::exists(path))
                continue;
            if (shared && creation.itsThreadsLastPath)
                QFile::remove(path);
            else
                leftBehind.append(path);
        } else if (!path.startsWith(QStringLiteral("/proc/")) && !path.startsWith(QStringLiteral("/sys/")) &&
                   path != QStringLiteral("/dev/null")) {
            outside.append(path);
        }
    }
    EXPECT_TRUE(outside.isEmpty()) << outside.join(u'\n').toStdString();
    EXPECT_TRUE(leftBehind.isEmpty()) << leftBehind.join(u'\n').toStdString();
}

} // namespace

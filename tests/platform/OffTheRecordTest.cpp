#include <QCoreApplication>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(OffTheRecord, BrowsingLeavesNoWebDataInHome)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"})
        env.remove(QString::fromLatin1(name));
    QProcess probe;
    probe.setProcessEnvironment(env);
    probe.start(QCoreApplication::applicationDirPath() + QStringLiteral("/off_the_record_probe"), {QStringLiteral("http://v.vidsite.example/cookie.html")});
    ASSERT_TRUE(probe.waitForFinished(60000));
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();

    QStringList left;
    for (QDirIterator it(home.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        left.append(it.next().mid(home.path().size()));
    EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
}

} // namespace

#include "DesktopOpener.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace vidlatch::test {
namespace {

QTemporaryDir* folder = nullptr;

QString PathOf(const char* name) { return folder ? folder->filePath(QString::fromLatin1(name)) : QString(); }

bool Write(const char* name, const QByteArray& text)
{
    QFile file(PathOf(name));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size();
}

} // namespace

bool DesktopOpener::Install()
{
    folder = new QTemporaryDir;  // for the whole run
    if (!folder->isValid())
        return false;
    const QByteArray script = "#!/bin/sh\n"
                              "here=$(dirname \"$0\")\n"
                              "printf '%s\\n' \"$*\" >> \"$here/opened\"\n"
                              "exit \"$(cat \"$here/status\")\"\n";
    if (!Write("xdg-open", script) || !Write("status", "0") || !Write("opened", ""))
        return false;
    QFile::setPermissions(PathOf("xdg-open"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", QFile::encodeName(folder->path()) + ':' + qgetenv("PATH"));
    return true;
}

QStringList DesktopOpener::Opened()
{
    QFile file(PathOf("opened"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void DesktopOpener::Clear() { Write("opened", ""); }

void DesktopOpener::SetStatus(int status) { Write("status", QByteArray::number(status)); }

} // namespace vidlatch::test

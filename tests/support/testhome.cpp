#include "testhome.h"

#include <QDir>

#include <cstdlib>

namespace {

void setPath(const char *name, const QString &path)
{
    QDir().mkpath(path);
    qputenv(name, QFile::encodeName(path));
}

} // namespace

TestHome::TestHome()
    : m_dir(QDir::tempPath() + "/glintora-test-XXXXXX")
{
    const QString root = m_dir.path();
    setPath("HOME", root);
    setPath("XDG_DATA_HOME", root + "/.local/share");
    setPath("XDG_CONFIG_HOME", root + "/.config");
    setPath("XDG_CACHE_HOME", root + "/.cache");
    setPath("TMPDIR", root + "/tmp");
    qunsetenv("XDG_DOCUMENTS_DIR");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    qputenv("BROWSER", "/bin/false");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

QString TestHome::path() const
{
    return m_dir.path();
}

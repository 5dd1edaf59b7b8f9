#include "zvcommoninterface.h"

#include "kernelversion.h"
#include "platformlog.h"
#include "qianyutil.h"
#include "qplistparser.h"
#include "qplistwriter.h"
#include "suupdater.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>
#include <QTemporaryFile>

#include <chrono>
#include <algorithm>
#include <cstdint>
#include <mutex>
#include <thread>

static_assert(sizeof(wchar_t) == 4, "UTF-32 text is handed over as wchar_t");
static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "UTF-32 text is handed over in little-endian order");

QString ZvCommonInterface::m_systemVersion;

namespace {

const QString kProductTitle = QStringLiteral("Calvetrin Glintora");
const QString kShortVersionKey = QStringLiteral("CFBundleShortVersionString");
const QString kDefaultVersion = QStringLiteral(GLINTORA_VERSION);
const QString kUpdateHost = QStringLiteral("www.calvetrin.com");
constexpr int kProbeNames = 100;

std::mutex g_handlerMutex;
ZvCommonInterface::RevealHandler g_revealHandler;
ZvCommonInterface::PowerHandler g_powerHandler;

void requestPower(ZvCommonInterface::PowerAction action)
{
    ZvCommonInterface::PowerHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_handlerMutex);
        handler = g_powerHandler;
    }
    if (handler)
        handler(action);
    else
        qCInfo(lcPlatform) << (action == ZvCommonInterface::PowerAction::Sleep ? "sleep" : "shut down")
                           << "requested; no power back end installed, not carried out";
}

bool pathTaken(const QString &path)
{
    // A dangling symbolic link reports "not existing" yet its name is taken.
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool kernelVersion(KernelVersion &version)
{
    return KernelVersion::parse(QSysInfo::kernelVersion(), version);
}

// The keys the program's property list needs, in the order they are set.
QVector<QPair<QString, PlistNode>> bundleKeys()
{
    const QString identifier = QStringLiteral("com.%1.%2 %3")
                                   .arg(QStringLiteral("Calvetrin"), kProductTitle, QString())
                                   .remove(QLatin1Char(' '));
    PlistNode transport(QStringLiteral("dict"));
    transport.set(QStringLiteral("NSAllowsArbitraryLoads"), PlistNode::fromBool(true));
    return {
        {QStringLiteral("CFBundleVersion"), PlistNode::fromString(kDefaultVersion + QStringLiteral(".0"))},
        {kShortVersionKey, PlistNode::fromString(kDefaultVersion)},
        {QStringLiteral("SUFeedURL"),
         PlistNode::fromString(QStringLiteral("https://%1/api/product/version?pid=%2&ver=%3")
                                   .arg(kUpdateHost, QStringLiteral("%1"), QStringLiteral("%2")))},
        {QStringLiteral("CFBundleDisplayName"), PlistNode::fromString(kProductTitle)},
        {QStringLiteral("CFBundleIdentifier"), PlistNode::fromString(identifier)},
        {QStringLiteral("SUPublicDSAKeyFile"), PlistNode::fromString(QStringLiteral("DSAKeyFile.pem"))},
        {QStringLiteral("SUEnableSystemProfiling"), PlistNode::fromBool(true)},
        {QStringLiteral("NSAppTransportSecurity"), transport},
    };
}

QByteArray doctypeLine(const QByteArray &bytes)
{
    const int start = bytes.indexOf("<!DOCTYPE");
    if (start < 0)
        return QByteArray();
    const int end = bytes.indexOf('>', start);
    return end < 0 ? QByteArray() : bytes.mid(start, end - start + 1);
}

// Strict UTF-8: rejects truncated sequences, overlong forms, surrogates, values above
// U+10FFFF and stray continuation bytes.
std::optional<std::wstring> decodeUtf8(const unsigned char *p)
{
    std::wstring out;
    while (*p) {
        const unsigned lead = *p++;
        int extra = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, code = lead & 0x1F, minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, code = lead & 0x0F, minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, code = lead & 0x07, minimum = 0x10000;
        } else {
            return std::nullopt;
        }
        for (int i = 0; i < extra; ++i, ++p) {
            if ((*p & 0xC0) != 0x80)
                return std::nullopt;
            code = (code << 6) | (*p & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return std::nullopt;
        out.push_back(static_cast<wchar_t>(code));
    }
    return out;
}

} // namespace

void ZvCommonInterface::showFileInFolder(std::string path)
{
    QString text = QString::fromUtf8(path.data(), int(path.size()));
    text.replace(QLatin1String("//"), QLatin1String("/"));
    if (!pathTaken(text))
        text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!pathTaken(text)) {
        qCInfo(lcPlatform) << "not revealed, the path does not exist:" << text;
        return;
    }

    RevealHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_handlerMutex);
        handler = g_revealHandler;
    }
    if (handler)
        handler(text);
    else
        qCInfo(lcPlatform) << "reveal" << text;
}

void ZvCommonInterface::setRevealHandler(RevealHandler handler)
{
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    g_revealHandler = std::move(handler);
}

void ZvCommonInterface::sleepComputer()
{
    requestPower(PowerAction::Sleep);
}

void ZvCommonInterface::shutdownComputer()
{
    requestPower(PowerAction::ShutDown);
}

void ZvCommonInterface::setPowerHandler(PowerHandler handler)
{
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    g_powerHandler = std::move(handler);
}

void ZvCommonInterface::checkForUpdate()
{
    SUUpdater::sharedUpdater()->checkForUpdates(nullptr);
}

void ZvCommonInterface::setAutoCheckUpdate(bool on)
{
    SUUpdater::sharedUpdater()->setAutomaticallyChecksForUpdates(on);
}

QString ZvCommonInterface::SystemVersionInfo()
{
    KernelVersion version;
    if (!kernelVersion(version))
        return QStringLiteral("Unkown");
    QString text = QStringLiteral("Linux %1.%2.%3").arg(version.major).arg(version.minor).arg(version.patch);
    const QString product = QSysInfo::prettyProductName();
    if (!product.isEmpty() && product != QLatin1String("Unknown"))
        text += QStringLiteral(", ") + product;
    return text;
}

void ZvCommonInterface::SystemVersionInfoValue(unsigned int &major, unsigned int &minor, unsigned int &patch)
{
    KernelVersion version;
    if (!kernelVersion(version))
        return;
    major = version.major;
    minor = version.minor;
    patch = version.patch;
}

QString ZvCommonInterface::getSystemVersion()
{
    static std::once_flag filled;
    std::call_once(filled, [] {
        KernelVersion version;
        kernelVersion(version);
        m_systemVersion = QStringLiteral("%1.%2.%3").arg(version.major).arg(version.minor).arg(version.patch);
    });
    return m_systemVersion;
}

QString ZvCommonInterface::getAppInfoFile()
{
    return QIAnyUtil::getApplicationDirPath() + QStringLiteral("Info.plist");
}

bool ZvCommonInterface::isNeedInitInfoFile()
{
    return !QPlistParser::read(getAppInfoFile()).toMap().contains(kShortVersionKey);
}

void ZvCommonInterface::InitInfoToFile(std::string path)
{
    if (!isNeedInitInfoFile())
        return;
    const QString file = QString::fromUtf8(path.data(), int(path.size()));
    QFile source(file);
    if (!source.open(QIODevice::ReadOnly)) {
        qCInfo(lcPlatform) << "no property list to fill at" << file;
        return;
    }
    const QByteArray bytes = source.readAll();
    source.close();
    // Comments would be lost on writing: leave such a list alone.
    std::optional<PlistNode> root = QPlistParser::parseDocument(bytes);
    if (!root || !root->isDict() || bytes.contains("<!--")) {
        qCWarning(lcPlatform) << "property list left unchanged, it cannot be rewritten faithfully:" << file;
        return;
    }
    for (const auto &entry : bundleKeys())
        root->set(entry.first, entry.second);

    QSaveFile target(file);
    if (!target.open(QIODevice::WriteOnly) || target.write(QPlistWriter::write(*root, doctypeLine(bytes))) < 0
        || !target.commit())
        qCWarning(lcPlatform) << "cannot write the property list" << file << ":" << target.errorString();
}

QString ZvCommonInterface::getAppVersion()
{
    const QVariant version = QPlistParser::read(getAppInfoFile()).toMap().value(kShortVersionKey);
    return version.type() == QVariant::String ? version.toString() : kDefaultVersion;
}

bool ZvCommonInterface::isWritableDir(QString folder)
{
    qCDebug(lcPlatform) << "probing folder for writing:" << folder;
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    for (int n = 0; n < kProbeNames; ++n) {
        const QString candidate = n == 0 ? QStringLiteral("%1%2.txt").arg(folder, kProductTitle)
                                         : QStringLiteral("%1%2%3.txt").arg(folder, kProductTitle).arg(n);
        if (pathTaken(candidate))
            continue;
        QFile probe(candidate);
        if (probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            probe.close();
            probe.remove();
            return true;
        }
        // Taken between the test and the create: try the next name.
        if (!pathTaken(candidate))
            return false;
    }
    QTemporaryFile probe(folder + kProductTitle + QStringLiteral("XXXXXX.txt"));
    return probe.open();
}

void ZvCommonInterface::Sleep(long long microseconds)
{
    if (microseconds <= 0)
        return;
    std::this_thread::sleep_for(std::chrono::microseconds(std::min<long long>(microseconds, UINT32_MAX)));
}

std::optional<std::wstring> ZvCommonInterface::ConvertCharToUtft32(const char *text)
{
    if (!text)
        return std::nullopt;
    return decodeUtf8(reinterpret_cast<const unsigned char *>(text));
}

QString ZvCommonInterface::charToQString(std::string &text)
{
    return QString::fromUtf8(text.data(), int(text.size()));
}

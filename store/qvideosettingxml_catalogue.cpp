// The format catalogue, the video presets file and the converted-path digest file.
#include "qvideosettingxml.h"

#include "choicelist.h"
#include "qianyutil.h"
#include "qstorefile.h"

std::unique_ptr<FormatInfoRecord> QVideoSettingXml::m_formatInfo;
std::unique_ptr<QualitySet> QVideoSettingXml::m_highQualitySet;
std::unique_ptr<FileFormatInfo> QVideoSettingXml::m_fileFormatInfo;
std::unique_ptr<QualitySet> QVideoSettingXml::m_defaultQualitySet;

namespace {

const QString kDigestFile = QStringLiteral("ConvertedMd5.xml");
const QString kDigestKey = QStringLiteral("Converted_path_md5");
const QString kFormatPresetsFile = QStringLiteral("VideoDefaultFormatSetting.xml");
const QString kOnlyAudio = QStringLiteral("OnlyAudio");

using State = QStoreFile::State;

// Parses the catalogue and finds the format by name; false when the catalogue is unreadable.
bool findCatalogueFormat(const QString &format, QDomDocument &document, QDomNode &formatNode)
{
    const QString path = QIAnyUtil::getResourcePath() + QStringLiteral("/VideoSetting.xml");
    if (QStoreFile::load(path, document) != State::Parsed)
        return false;
    formatNode = QStoreFile::firstChildByAttribute(document.documentElement(), QStringLiteral("DevFormat"), format);
    return true;
}

// The UTF-8 text of an attribute, ending at its first NUL as a C string would.
std::string utf8(const QDomNode &node, const char *name)
{
    return std::string(QStoreFile::attribute(node, QLatin1String(name)).toUtf8().constData());
}

QString trimmed(const QDomNode &node, const char *name)
{
    return QStoreFile::attribute(node, QLatin1String(name)).trimmed();
}

QString withUnit(const QDomNode &node, const char *name)
{
    return QVideoSettingXml::addUnit(QStoreFile::attribute(node, QLatin1String(name)), QLatin1String(name));
}

// Rates get their units in catalogue presets; stored presets hold them already.
void fillVideo(QualitySet &set, const QDomNode &node, bool unitsAdded)
{
    set.vEncoder = trimmed(node, "V_Encoder");
    set.vResolution = trimmed(node, "V_Resolution");
    set.vFrameRate = unitsAdded ? withUnit(node, "V_FrameRate") : trimmed(node, "V_FrameRate");
    set.vBitRate = unitsAdded ? withUnit(node, "V_BitRate") : trimmed(node, "V_BitRate");
}

void fillAudio(QualitySet &set, const QDomNode &node, bool unitsAdded)
{
    set.aEncoder = trimmed(node, "A_Encoder");
    set.aChannel = trimmed(node, "A_Channel");
    set.aSampleRate = unitsAdded ? withUnit(node, "A_SampleRate") : trimmed(node, "A_SampleRate");
    set.aBitRate = unitsAdded ? withUnit(node, "A_BitRate") : trimmed(node, "A_BitRate");
}

} // namespace

void QVideoSettingXml::SaveConvertedPathMd5(const QString &token)
{
    if (token.isEmpty())
        return;
    const QString path = QStoreFile::appDataFile(kDigestFile);
    QDomDocument document;
    if (QStoreFile::loadOrStart(path, document) == State::Unparsable)
        return;
    const QString safeToken = QStoreFile::xmlSafe(token);
    const QDomElement root = document.documentElement();
    const QDomNode last = root.lastChild();
    const QString tokens = QStoreFile::attribute(last, kDigestKey);
    if (tokens.contains(safeToken))
        return;
    if (tokens.isEmpty()) {
        const QDomNode entry = QStoreFile::appendElement(document, root, QStringLiteral("Path_item"));
        QStoreFile::setAttribute(entry, kDigestKey, safeToken + '_');
    } else {
        QStoreFile::setAttribute(last, kDigestKey, tokens + safeToken + '_');
    }
    SaveXml(path, document);
}

QString QVideoSettingXml::getConvertedPathMd5()
{
    QDomDocument document;
    if (QStoreFile::load(QStoreFile::appDataFile(kDigestFile), document) != State::Parsed)
        return QString();
    return QStoreFile::attribute(document.documentElement().firstChild(), kDigestKey);
}

FormatInfoRecord *QVideoSettingXml::GetFormatAllInfo(const QString &format)
{
    m_formatInfo = std::make_unique<FormatInfoRecord>();
    QDomDocument document;
    QDomNode formatNode;
    if (format.isEmpty() || !findCatalogueFormat(format, document, formatNode))
        return nullptr;
    FormatInfoRecord &record = *m_formatInfo;
    record.onlyAudio = QStoreFile::isYes(QStoreFile::attribute(formatNode, kOnlyAudio));
    const QDomNode values = QStoreFile::firstChildByTag(formatNode, QStringLiteral("ATTRIBUTE_VALUE"));
    if (values.isNull())
        return nullptr;
    if (!record.onlyAudio) {
        analysisTextInfo(utf8(values, "V_Encoder"), record.vEncoders);
        analysisTextInfo(utf8(values, "V_Resolution"), record.vResolutions);
        analysisTextInfo(utf8(values, "V_FrameRate"), " fps", record.vFrameRates);
        analysisTextInfo(utf8(values, "V_BitRate"), " kbps", record.vBitRates);
    }
    analysisTextInfo(utf8(values, "A_Encoder"), record.aEncoders);
    analysisTextInfo(utf8(values, "A_Channel"), record.aChannels);
    analysisTextInfo(utf8(values, "A_SampleRate"), " HZ", record.aSampleRates);
    analysisTextInfo(utf8(values, "A_BitRate"), " kbps", record.aBitRates);
    return m_formatInfo.get();
}

QualitySet *QVideoSettingXml::GetQuality(const QString &preset, const QString &format)
{
    m_highQualitySet = std::make_unique<QualitySet>();
    QDomDocument document;
    QDomNode formatNode;
    if (!findCatalogueFormat(format, document, formatNode))
        return nullptr;
    QualitySet &set = *m_highQualitySet;
    set.onlyAudio = QStoreFile::isYes(QStoreFile::attribute(formatNode, kOnlyAudio));
    const QDomNode node = QStoreFile::firstChildByTag(formatNode, preset);
    if (node.isNull())
        return nullptr;
    if (!set.onlyAudio)
        fillVideo(set, node, true);
    fillAudio(set, node, true);
    return m_highQualitySet.get();
}

FileFormatInfo *QVideoSettingXml::GetFormatInfo(const QString &format)
{
    m_fileFormatInfo = std::make_unique<FileFormatInfo>();
    QDomDocument document;
    QDomNode formatNode;
    if (format.isEmpty() || !findCatalogueFormat(format, document, formatNode))
        return nullptr;
    const QDomNode info = QStoreFile::firstChildByTag(formatNode, QStringLiteral("VIDIO_FOMAT_INFO"));
    if (info.isNull())
        return nullptr;
    m_fileFormatInfo->vFormat = QStoreFile::attribute(info, QStringLiteral("V_Format"));
    m_fileFormatInfo->vExtend = QStoreFile::attribute(info, QStringLiteral("V_Extend"));
    return m_fileFormatInfo.get();
}

void QVideoSettingXml::analysisTextInfo(std::string text, std::vector<std::string> &list)
{
    ChoiceList::split(text, std::string(), list);
}

void QVideoSettingXml::analysisTextInfo(std::string text, std::string unit, std::vector<std::string> &list)
{
    ChoiceList::split(text, unit, list);
}

QString QVideoSettingXml::addUnit(const QString &value, const QString &attribute)
{
    const QString text = value.trimmed();
    if (text == QLatin1String("0"))
        return QStringLiteral("Auto");
    if (text == QLatin1String("Original") || text == QLatin1String("Auto"))
        return text;
    if (attribute == QLatin1String("V_FrameRate"))
        return text + QStringLiteral(" fps");
    if (attribute == QLatin1String("V_BitRate") || attribute == QLatin1String("A_BitRate"))
        return text + QStringLiteral(" kbps");
    if (attribute == QLatin1String("A_SampleRate"))
        return text + QStringLiteral(" HZ");
    return text;
}

std::string &QVideoSettingXml::trim(std::string &text)
{
    return ChoiceList::trim(text);
}

void QVideoSettingXml::SetDefaultFormat(const QString &format, QualitySet *preset)
{
    if (!preset)
        return;
    const QString path = QStoreFile::appDataFile(kFormatPresetsFile);
    QDomDocument document;
    if (QStoreFile::loadOrStart(path, document) == State::Unparsable)
        return;
    const QDomNode node = QStoreFile::makeFormatOptions(document, format);
    // The video texts are kept even for audio-only presets; the reader drops them.
    QStoreFile::setAttribute(node, kOnlyAudio, QStoreFile::flag(preset->onlyAudio));
    QStoreFile::setAttribute(node, QStringLiteral("V_Encoder"), preset->vEncoder);
    QStoreFile::setAttribute(node, QStringLiteral("V_Resolution"), preset->vResolution);
    QStoreFile::setAttribute(node, QStringLiteral("V_FrameRate"), preset->vFrameRate);
    QStoreFile::setAttribute(node, QStringLiteral("V_BitRate"), preset->vBitRate);
    QStoreFile::setAttribute(node, QStringLiteral("A_Encoder"), preset->aEncoder);
    QStoreFile::setAttribute(node, QStringLiteral("A_Channel"), preset->aChannel);
    QStoreFile::setAttribute(node, QStringLiteral("A_SampleRate"), preset->aSampleRate);
    QStoreFile::setAttribute(node, QStringLiteral("A_BitRate"), preset->aBitRate);
    SaveXml(path, document);
}

QualitySet *QVideoSettingXml::GetDefaultFormat(const QString &format, QualitySet *copy)
{
    m_defaultQualitySet = std::make_unique<QualitySet>();
    QDomDocument document;
    if (QStoreFile::load(QStoreFile::appDataFile(kFormatPresetsFile), document) != State::Parsed)
        return nullptr;
    const QDomNode node = QStoreFile::findFormatOptions(document, format);
    if (node.isNull())
        return nullptr;
    QualitySet &set = *m_defaultQualitySet;
    set.onlyAudio = QStoreFile::isYes(QStoreFile::attribute(node, kOnlyAudio));
    if (!set.onlyAudio)
        fillVideo(set, node, false);
    fillAudio(set, node, false);
    if (copy)
        *copy = set;
    return m_defaultQualitySet.get();
}

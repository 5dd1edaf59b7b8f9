#include "qplistread.h"

#include "choicelist.h"
#include "qplistparser.h"

std::unique_ptr<QPlistRead> QPlistRead::s_instance;

namespace {

const std::string kAuto = "Auto";
const std::string kKbps = " kbps";

std::string textOf(const QVariant &value)
{
    switch (value.type()) {
    case QVariant::String:
        return value.toString().toStdString();
    case QVariant::LongLong:
    case QVariant::Double:
        return value.toString().toStdString();
    case QVariant::Bool:
        return value.toBool() ? "1" : "0";
    default:
        return std::string();
    }
}

QVariantMap mapOf(const QVariantMap &dict, const char *key)
{
    return dict.value(QLatin1String(key)).toMap();
}

QVariantList listOf(const QVariantMap &dict, const std::string &key)
{
    return dict.value(QString::fromStdString(key)).toList();
}

std::string chosenOr(const std::string &argument, std::string fallback)
{
    return argument.empty() ? fallback : argument;
}

std::string trimmedValue(const QVariantMap &dict, const char *key)
{
    std::string text = QPlistRead::getDictValue(dict, key);
    return ChoiceList::trim(text);
}

} // namespace

QPlistRead *QPlistRead::getPlistRead(std::string path)
{
    if (!s_instance)
        s_instance = std::make_unique<QPlistRead>(std::move(path));
    return s_instance.get();
}

QPlistRead *QPlistRead::getPlistRead1(const char *, long long)
{
    if (!s_instance)
        s_instance = std::make_unique<QPlistRead>(std::string());
    return s_instance.get();
}

QPlistRead::QPlistRead(std::string path)
    : m_path(std::move(path))
{
    if (!m_path.empty())
        m_root = QPlistParser::read(QString::fromStdString(m_path)).toMap();
}

std::vector<std::string> QPlistRead::getCategories()
{
    m_categories.clear();
    for (const QVariant &name : listOf(m_root, "Categories"))
        m_categories.push_back(textOf(name));
    return m_categories;
}

std::vector<CategoryInfo> *QPlistRead::getCategoriesInfoList(std::string category)
{
    if (category.empty())
        return nullptr;
    // The records are held by value, so replacing the list frees them too.
    m_categoriesInfo = std::make_unique<std::vector<CategoryInfo>>();
    for (const QVariant &format : listOf(m_root, category)) {
        const QVariantMap base = mapOf(format.toMap(), "baseinfo");
        m_categoriesInfo->push_back(
            {getDictValue(base, "title"), getDictValue(base, "id"), getDictValue(base, "ext"), category});
    }
    return m_categoriesInfo.get();
}

QVariantMap QPlistRead::findFormat(const std::string &category, const std::string &id, bool *found) const
{
    for (const QVariant &format : listOf(m_root, category)) {
        const QVariantMap dict = format.toMap();
        if (getDictValue(mapOf(dict, "baseinfo"), "id") == id) {
            *found = true;
            return dict;
        }
    }
    *found = false;
    return QVariantMap();
}

FormatInfoRecord *QPlistRead::GetFormatInfoForPlist(std::string category, std::string id, std::string vEncoder,
                                                    std::string vResolution, std::string aEncoder,
                                                    std::string aChannel)
{
    m_formatInfo = std::make_unique<FormatInfoRecord>();
    if (category.empty() || id.empty())
        return nullptr;
    FormatInfoRecord &record = *m_formatInfo;
    record.category = category;
    record.formatId = id;
    bool found = false;
    const QVariantMap format = findFormat(category, id, &found);
    if (!found)
        return m_formatInfo.get();
    // "Auto" as a choice means: let the catalogue's default decide.
    for (std::string *choice : {&vEncoder, &vResolution, &aEncoder, &aChannel}) {
        if (*choice == kAuto)
            choice->clear();
    }
    const QVariantMap base = mapOf(format, "baseinfo");
    record.ext = getDictValue(base, "ext");
    record.autoChoice = getDictValue(base, "auto") == "1";
    record.vEncoder = vEncoder;
    record.vResolution = vResolution;
    record.aEncoder = aEncoder;
    record.aChannel = aChannel;
    fillVideo(format, record);
    fillAudio(format, record);
    return m_formatInfo.get();
}

void QPlistRead::fillVideo(const QVariantMap &format, FormatInfoRecord &record) const
{
    if (!format.contains(QStringLiteral("videoencoders"))) {
        record.onlyAudio = true;
        return;
    }
    const QVariantMap encoders = mapOf(format, "videoencoders");
    readSupports(encoders, std::string(), record.vEncoders, record.autoChoice);
    record.vEncoder = chosenOr(record.vEncoder, trimmedValue(encoders, "default"));
    record.vResolution = chosenOr(record.vResolution, getDictValue(mapOf(format, "resolution"), "default"));
    const QVariantMap params = matchParams(listOf(format, "videoparams"), record.vEncoder, "resolution",
                                           record.vResolution, record.vResolutions);
    if (params.isEmpty())
        return;
    readBitRate(mapOf(params, "videobitrate"), record.vBitRateLow, record.vBitRateHigh, record.vBitRateDefault,
                record.vBitRates, record.autoChoice);
    readRate(mapOf(params, "framerate"), " fps", record.vFrameRateDefault, record.vFrameRates, record.autoChoice);
}

void QPlistRead::fillAudio(const QVariantMap &format, FormatInfoRecord &record) const
{
    analysisFilter(getDictValue(format, "filter"), record.vEncoder, record.aEncoders);
    if (!record.aEncoders.empty()) {
        std::string first = record.aEncoders.front();
        record.aEncoder = chosenOr(record.aEncoder, trim(first));
    } else {
        const QVariantMap encoders = mapOf(format, "audioencoders");
        readSupports(encoders, std::string(), record.aEncoders, record.autoChoice);
        record.aEncoder = chosenOr(record.aEncoder, trimmedValue(encoders, "default"));
    }
    record.aChannel = chosenOr(record.aChannel, getDictValue(mapOf(format, "channels"), "default"));
    const QVariantMap params = matchParams(listOf(format, "audioparams"), record.aEncoder, "channel",
                                           record.aChannel, record.aChannels);
    if (params.isEmpty())
        return;
    readBitRate(mapOf(params, "audiobitrate"), record.aBitRateLow, record.aBitRateHigh, record.aBitRateDefault,
                record.aBitRates, record.autoChoice);
    readRate(mapOf(params, "samplerate"), " HZ", record.aSampleRateDefault, record.aSampleRates, record.autoChoice);
}

QVariantMap QPlistRead::matchParams(const QVariantList &params, const std::string &encoder, const char *key,
                                    const std::string &choice, std::vector<std::string> &choices)
{
    // Every element made for the encoder offers its value; the first that also has the
    // chosen value supplies the rates. None matching gives an empty map.
    QVariantMap matched;
    for (const QVariant &item : params) {
        const QVariantMap element = item.toMap();
        if (trimmedValue(element, "fourcc") != encoder)
            continue;
        const std::string value = getDictValue(element, key);
        if (!value.empty())
            choices.push_back(value);
        if (matched.isEmpty() && value == choice)
            matched = element;
    }
    return matched;
}

void QPlistRead::readBitRate(const QVariantMap &rate, std::string &low, std::string &high, std::string &defaultValue,
                             std::vector<std::string> &list, bool autoChoice) const
{
    low = getDictValue(rate, "low") + kKbps;
    high = getDictValue(rate, "high") + kKbps;
    readRate(rate, kKbps, defaultValue, list, autoChoice);
}

void QPlistRead::readRate(const QVariantMap &rate, const std::string &unit, std::string &defaultValue,
                          std::vector<std::string> &list, bool autoChoice) const
{
    defaultValue = getDictValue(rate, "default") + unit;
    readSupports(rate, unit, list, autoChoice);
}

void QPlistRead::readSupports(const QVariantMap &param, const std::string &unit, std::vector<std::string> &list,
                              bool autoChoice) const
{
    analysisTextInfo(getDictValue(param, "supports"), unit, list);
    if (autoChoice)
        list.insert(list.begin(), kAuto);
}

std::string QPlistRead::getFormatInfoForKey(std::string category, std::string id, std::string key)
{
    bool found = false;
    const QVariantMap format = findFormat(category, id, &found);
    return found ? getDictValue(mapOf(format, "baseinfo"), key) : std::string();
}

std::string QPlistRead::getCodecsForKey(std::string code)
{
    if (code.empty() || code == kAuto)
        return code;
    if (code.size() == 3)
        code += ' ';
    const QVariantMap codecs = mapOf(m_root, "Codecs");
    return codecs.contains(QString::fromStdString(code)) ? getDictValue(codecs, code) : code;
}

std::string QPlistRead::getDictValue(const QVariantMap &dict, std::string key)
{
    if (key.empty())
        key = "supports";
    return textOf(dict.value(QString::fromStdString(key)));
}

std::string &QPlistRead::trim(std::string &text)
{
    return ChoiceList::trim(text);
}

void QPlistRead::analysisTextInfo(std::string text, std::vector<std::string> &list)
{
    ChoiceList::split(text, std::string(), list);
}

void QPlistRead::analysisTextInfo(std::string text, std::string unit, std::vector<std::string> &list)
{
    ChoiceList::split(text, unit, list);
}

void QPlistRead::analysisFilter(std::string text, std::string key, std::vector<std::string> &list)
{
    if (text.empty() || key.empty())
        return;
    const size_t at = text.find(key);
    if (at == std::string::npos)
        return;
    // One separator character follows the key; the entry runs to the next "|".
    const size_t start = std::min(at + key.size() + 1, text.size());
    const size_t end = text.find('|', start);
    ChoiceList::split(text.substr(start, end == std::string::npos ? std::string::npos : end - start),
                      std::string(), list);
}

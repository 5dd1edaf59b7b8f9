#pragma once

#include "categoryinfo.h"
#include "formatinforecord.h"

#include <QVariantMap>

#include <memory>
#include <string>
#include <vector>

// The output-format catalogue read from a property list. One instance per process;
// GUI thread only. Returned lists and records stay valid until the next call of the
// same operation.
class QPlistRead
{
public:
    static QPlistRead *getPlistRead(std::string path);
    static QPlistRead *getPlistRead1(const char *unusedPath, long long unusedFlags);

    explicit QPlistRead(std::string path);

    std::vector<std::string> getCategories();
    std::vector<CategoryInfo> *getCategoriesInfoList(std::string category);
    FormatInfoRecord *GetFormatInfoForPlist(std::string category, std::string id, std::string vEncoder,
                                            std::string vResolution, std::string aEncoder, std::string aChannel);
    std::string getFormatInfoForKey(std::string category, std::string id, std::string key);
    std::string getCodecsForKey(std::string code);

    static std::string getDictValue(const QVariantMap &dict, std::string key);
    static std::string &trim(std::string &text);
    static void analysisTextInfo(std::string text, std::vector<std::string> &list);
    static void analysisTextInfo(std::string text, std::string unit, std::vector<std::string> &list);
    static void analysisFilter(std::string text, std::string key, std::vector<std::string> &list);

private:
    QVariantMap findFormat(const std::string &category, const std::string &id, bool *found) const;
    void fillVideo(const QVariantMap &format, FormatInfoRecord &record) const;
    void fillAudio(const QVariantMap &format, FormatInfoRecord &record) const;
    static QVariantMap matchParams(const QVariantList &params, const std::string &encoder, const char *key,
                                   const std::string &choice, std::vector<std::string> &choices);
    void readBitRate(const QVariantMap &rate, std::string &low, std::string &high, std::string &defaultValue,
                     std::vector<std::string> &list, bool autoChoice) const;
    void readRate(const QVariantMap &rate, const std::string &unit, std::string &defaultValue,
                  std::vector<std::string> &list, bool autoChoice) const;
    void readSupports(const QVariantMap &param, const std::string &unit, std::vector<std::string> &list,
                      bool autoChoice) const;

    std::string m_path;
    std::unique_ptr<std::vector<CategoryInfo>> m_categoriesInfo;
    std::unique_ptr<FormatInfoRecord> m_formatInfo;
    std::vector<std::string> m_categories;
    QVariantMap m_root; // empty when the file could not be read

    static std::unique_ptr<QPlistRead> s_instance;
};

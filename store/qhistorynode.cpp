#include "qhistorynode.h"

#include "qstorefile.h"

#include <algorithm>

namespace {

template <typename Attributes> auto find(Attributes &attributes, const QString &name)
{
    return std::find_if(attributes.begin(), attributes.end(),
                        [&name](const QPair<QString, QString> &attribute) { return attribute.first == name; });
}

} // namespace

QString QHistoryNode::attribute(const QString &attributeName) const
{
    const auto found = find(attributes, attributeName);
    return found == attributes.end() ? QString() : found->second;
}

bool QHistoryNode::hasAttribute(const QString &attributeName) const
{
    return find(attributes, attributeName) != attributes.end();
}

void QHistoryNode::setAttribute(const QString &attributeName, const QString &value)
{
    if (!isElement())
        return;
    const QString safe = QStoreFile::xmlSafe(value);
    const auto found = find(attributes, attributeName);
    if (found == attributes.end())
        attributes.append({attributeName, safe});
    else if (found->second != safe)
        found->second = safe;
}

void QHistoryNode::removeAttribute(const QString &attributeName)
{
    const auto found = find(attributes, attributeName);
    if (found != attributes.end())
        attributes.erase(found);
}

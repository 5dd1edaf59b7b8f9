#pragma once

#include <QDomDocument>
#include <QString>

#include <functional>

// The file mechanics every store file shares: parse whole, look up first matches,
// write whole through an atomic save.
class QStoreFile
{
public:
    enum class State { Missing, Parsed, Unparsable };

    static QString appDataFile(const QString &name);

    static bool parse(const QString &path, QDomDocument &document);
    // A zero-byte file counts as missing, so an interrupted first write heals.
    static State load(const QString &path, QDomDocument &document);
    // As load, but a missing file starts a new document with the root "ROOTITEM".
    static State loadOrStart(const QString &path, QDomDocument &document);
    static bool save(const QString &path, const QDomDocument &document);
    // Writes serialised XML whole and atomically; any thread may call it.
    static bool saveBytes(const QString &path, const QByteArray &bytes);

    // Told, once per run and path, why changes to the application's data are not saved:
    // a file of it does not parse (the store never overwrites it until it is repaired or
    // moved aside), or its folder takes no files (the changes are kept in memory for the
    // run; reason says why). Installing a notice starts the run again: nothing told, nothing
    // kept. The notice may be called on the history's own thread.
    enum class Trouble { Unparsable, Unwritable };
    using TroubleNotice = std::function<void(Trouble trouble, const QString &path, const QString &reason)>;
    static void setTroubleNotice(TroubleNotice notice);

    static QDomNode firstChildByTag(const QDomNode &parent, const QString &tag);
    static QDomNode firstChildByAttribute(const QDomNode &parent, const QString &name, const QString &value);
    static QDomNode appendElement(QDomDocument &document, QDomNode parent, const QString &tag);
    // The options node of a per-format presets file: the first child of the first entry
    // whose "Format_ID" is the identifier. The finder gives a null node when there is none;
    // the maker appends the entry and the node as needed.
    static QDomNode findFormatOptions(const QDomDocument &document, const QString &formatId);
    static QDomNode makeFormatOptions(QDomDocument &document, const QString &formatId);

    static QString attribute(const QDomNode &node, const QString &name);
    static void setAttribute(const QDomNode &node, const QString &name, const QString &value);
    static QString flag(bool value);
    static bool isYes(const QString &text);
    static QString xmlSafe(const QString &text);
};

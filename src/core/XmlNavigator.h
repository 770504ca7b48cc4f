// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <pugixml.hpp>
#include <vector>

// Every piece of the data exchange touches XML through this navigator. It owns one
// document, keeps it in the compressed container file (see ExchangeContainer), and addresses
// nodes by comma-separated paths: the first segment is the document element whatever its
// name; "name" steps to the first child of that name; "anything#N" to the child at
// position N. A step that finds nothing stays where it is.
class XmlNavigator {
public:
    XmlNavigator();
    ~XmlNavigator();
    XmlNavigator(const XmlNavigator &) = delete;
    XmlNavigator &operator=(const XmlNavigator &) = delete;

    void loadFromText(const QString &text); // throws on malformed XML
    // Both throw on any failure; an old file survives a failed save. progress, when given,
    // is called between pieces of the work.
    void loadFromFile(const QString &fileName, const std::function<void(qint64)> &progress = {});
    void saveToFile(const QString &fileName, const std::function<void(qint64)> &progress = {});

    pugi::xml_node findNode(const QString &path);
    int childCount(const QString &path);
    // A missing attribute is reported (see onMissingAttribute); getAttr then gives "", setAttr false.
    QString getAttr(const QString &path, const QString &name);
    // The attribute of the record at position in the list whose items itemPath names ("...#"):
    // a missing one is reported with the record's path, and reads as "".
    pugi::xml_attribute recordAttribute(pugi::xml_node record, const QString &itemPath, int position,
                                        const char *name);
    bool setAttr(const QString &path, const QString &name, const QString &value);
    static int commaCount(const QString &text);

    pugi::xml_document &document() { return *m_document; }

    // Hears of each missing attribute, and may throw to end the caller's run; without it the
    // text goes to the log.
    std::function<void(const QString &text)> onMissingAttribute;

    QString PathRest;

private:
    // The text with every reference to the NUL character made U+FFFD; a null array when it
    // holds none.
    static QByteArray withoutNulReferences(const char *data, size_t size);
    void load(const char *data, size_t size);
    pugi::xml_node childAt(pugi::xml_node parent, int index);
    pugi::xml_node childNamed(pugi::xml_node parent, const QString &name);
    pugi::xml_attribute findAttribute(pugi::xml_node node, const QString &path, const char *name);
    void reportMissing(const QString &path, const char *name);

    std::unique_ptr<pugi::xml_document> m_document;
    // Readers walk a parent's children by ascending position; these remember the children
    // of the parent met last so that each step is not a walk from the first child.
    // Documents only ever grow at the end, so known positions stay right.
    pugi::xml_node m_indexedParent;
    std::vector<pugi::xml_node> m_indexedChildren;
    // Name steps: the first child of that name, or the last child scanned without finding
    // one, so that no child is compared twice however often a path is resolved.
    struct NameStep {
        pugi::xml_node found;
        pugi::xml_node scanned;
    };
    QHash<QPair<size_t, QString>, NameStep> m_nameSteps;
};

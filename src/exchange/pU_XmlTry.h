#pragma once
#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <pugixml.hpp>
#include <vector>

// Every piece of the data exchange touches XML through this navigator. It owns one
// document, keeps it in the compressed container file (see KvContainer), and addresses
// nodes by comma-separated paths: the first segment is the document element whatever its
// name; "name" steps to the first child of that name; "anything#N" to the child at
// position N. A step that finds nothing stays where it is.
class Txmltry {
public:
    Txmltry();
    ~Txmltry();
    Txmltry(const Txmltry &) = delete;
    Txmltry &operator=(const Txmltry &) = delete;

    void LoadFromText(const QString &text); // throws on malformed XML
    // Both throw on any failure; an old file survives a failed save. progress, when given,
    // is called between pieces of the work.
    void LoadFromFile(const QString &fileName, const std::function<void(qint64)> &progress = {});
    void SaveToFile(const QString &fileName, const std::function<void(qint64)> &progress = {});

    pugi::xml_node FindNode(const QString &path);
    int ChildCount(const QString &path);
    // A missing attribute is reported in the error box; GetAttr then gives "", SetAttr false.
    QString GetAttr(const QString &path, const QString &name);
    bool SetAttr(const QString &path, const QString &name, const QString &value);
    static int CommaCount(const QString &text);

    pugi::xml_document &document() { return *Document; }

    // Shows the text of a missing attribute instead of the error box when set; it may throw
    // to end the caller's run.
    std::function<void(const QString &text)> OnMissingAttribute;

    QString PathRest;

private:
    // The text with every reference to the NUL character made U+FFFD; a null array when it
    // holds none.
    static QByteArray WithoutNulReferences(const char *data, size_t size);
    void Load(const char *data, size_t size);
    pugi::xml_node ChildAt(pugi::xml_node parent, int index);
    pugi::xml_node ChildNamed(pugi::xml_node parent, const QString &name);
    pugi::xml_attribute Attribute(const QString &path, const QString &name);

    std::unique_ptr<pugi::xml_document> Document;
    // Readers walk a parent's children by ascending position; these remember the children
    // of the parent met last so that each step is not a walk from the first child.
    // Documents only ever grow at the end, so known positions stay right.
    pugi::xml_node FIndexedParent;
    std::vector<pugi::xml_node> FIndexedChildren;
    // Name steps: the first child of that name, or the last child scanned without finding
    // one, so that no child is compared twice however often a path is resolved.
    struct NameStep {
        pugi::xml_node found;
        pugi::xml_node scanned;
    };
    QHash<QPair<size_t, QString>, NameStep> FNameSteps;
};

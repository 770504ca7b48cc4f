// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/XmlNavigator.h"
#include "core/ExchangeContainer.h"
#include "core/ParallelDeflate.h"
#include <QCoreApplication>
#include <cstring>
#include <stdexcept>

namespace {

// Hands the serialized document to the compressor as it is written.
class DeflateWriter final : public pugi::xml_writer {
public:
    explicit DeflateWriter(ExchangeContainer::Deflater &deflater) : m_deflater(deflater) {}
    void write(const void *data, size_t size) override
    {
        m_deflater.write(static_cast<const char *>(data), qsizetype(size));
    }

private:
    ExchangeContainer::Deflater &m_deflater;
};

int positionOf(const QString &segment)
{
    bool ok = false;
    const QString digits = segment.mid(segment.indexOf(QLatin1Char('#')) + 1);
    const int position = digits.toInt(&ok);
    if (!ok)
        throw std::invalid_argument(QCoreApplication::translate("XmlNavigator", "'%1' is not a valid integer value").arg(digits).toStdString());
    return position;
}

// The length of a character reference at text that names the NUL character (&#0; &#x00;
// and the like), or 0.
size_t nulReferenceAt(const char *text, const char *end)
{
    const char *p = text + 2;
    const bool hex = p < end && (*p == 'x' || *p == 'X');
    if (hex)
        ++p;
    const char *digits = p;
    while (p < end && *p == '0')
        ++p;
    if (p == digits || p >= end || *p != ';')
        return 0;
    return size_t(p + 1 - text);
}

} // namespace

QByteArray XmlNavigator::withoutNulReferences(const char *data, size_t size)
{
    QByteArray text;
    const char *const end = data + size;
    const char *copied = data;
    for (const char *p = data; (p = static_cast<const char *>(memchr(p, '&', size_t(end - p)))); ++p) {
        if (end - p < 4 || p[1] != '#')
            continue;
        const size_t length = nulReferenceAt(p, end);
        if (length == 0)
            continue;
        if (text.isNull())
            text.reserve(qsizetype(size));
        text.append(copied, p - copied).append("&#xFFFD;");
        copied = p + length;
        p = copied - 1;
    }
    if (!text.isNull())
        text.append(copied, end - copied);
    return text;
}

XmlNavigator::XmlNavigator() : m_document(std::make_unique<pugi::xml_document>()) {}

XmlNavigator::~XmlNavigator() = default;

void XmlNavigator::load(const char *data, size_t size)
{
    m_indexedParent = pugi::xml_node();
    m_indexedChildren.clear();
    m_nameSteps.clear();
    // A value holding a NUL would end there and lose the rest.
    const QByteArray withoutNul = withoutNulReferences(data, size);
    if (!withoutNul.isNull()) {
        data = withoutNul.constData();
        size = size_t(withoutNul.size());
    }
    // Whitespace between elements is dropped by the default options, so that the children of
    // an element are its elements.
    const pugi::xml_parse_result result = m_document->load_buffer(data, size, pugi::parse_default, pugi::encoding_utf8);
    if (!result)
        throw std::runtime_error(
            QCoreApplication::translate("XmlNavigator", "XML error at offset %1: %2").arg(result.offset).arg(QLatin1String(result.description())).toStdString());
}

void XmlNavigator::loadFromText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    load(utf8.constData(), size_t(utf8.size()));
}

void XmlNavigator::loadFromFile(const QString &fileName, const std::function<void(qint64)> &progress)
{
    const QByteArray text = ExchangeContainer::readFile(fileName, progress);
    load(text.constData(), size_t(text.size()));
}

void XmlNavigator::saveToFile(const QString &fileName, const std::function<void(qint64)> &progress)
{
    ExchangeContainer::Deflater deflater(progress);
    DeflateWriter writer(deflater);
    m_document->save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    ExchangeContainer::writeBytes(fileName, deflater.finishContainer());
}

int XmlNavigator::commaCount(const QString &text)
{
    return int(text.count(QLatin1Char(',')));
}

pugi::xml_node XmlNavigator::childAt(pugi::xml_node parent, int index)
{
    if (index < 0)
        return {};
    if (parent != m_indexedParent) {
        m_indexedParent = parent;
        m_indexedChildren.clear();
    }
    // Extends the known children up to index, also past children added since.
    pugi::xml_node next = m_indexedChildren.empty() ? parent.first_child() : m_indexedChildren.back().next_sibling();
    while (int(m_indexedChildren.size()) <= index && next) {
        m_indexedChildren.push_back(next);
        next = next.next_sibling();
    }
    return index < int(m_indexedChildren.size()) ? m_indexedChildren[size_t(index)] : pugi::xml_node();
}

pugi::xml_node XmlNavigator::childNamed(pugi::xml_node parent, const QString &name)
{
    NameStep &step = m_nameSteps[qMakePair(parent.hash_value(), name)];
    if (step.found)
        return step.found;
    // Children added since the last scan are the only ones not compared yet.
    const QByteArray utf8 = name.toUtf8();
    for (pugi::xml_node child = step.scanned ? step.scanned.next_sibling() : parent.first_child(); child;
         child = child.next_sibling()) {
        step.scanned = child;
        // Only elements have names that a step can match.
        if (child.type() == pugi::node_element && utf8 == child.name()) {
            step.found = child;
            break;
        }
    }
    return step.found;
}

pugi::xml_node XmlNavigator::findNode(const QString &path)
{
    PathRest = path;
    pugi::xml_node current = m_document->document_element();
    const int commas = commaCount(path);
    if (commas == 0)
        return current;
    PathRest = PathRest.mid(PathRest.indexOf(QLatin1Char(',')) + 1);
    for (int i = 1; i <= commas; ++i) {
        QString segment;
        if (i == commas) {
            segment = PathRest;
        } else {
            const qsizetype comma = PathRest.indexOf(QLatin1Char(','));
            segment = PathRest.left(comma);
            PathRest = PathRest.mid(comma + 1);
        }
        if (segment.contains(QLatin1Char('#'))) {
            if (const pugi::xml_node child = childAt(current, positionOf(segment)))
                current = child;
        } else if (const pugi::xml_node child = childNamed(current, segment)) {
            current = child;
        }
    }
    return current;
}

int XmlNavigator::childCount(const QString &path)
{
    const pugi::xml_node node = findNode(path);
    int count = 0;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        ++count;
    return count;
}

void XmlNavigator::reportMissing(const QString &path, const char *name)
{
    const QString text = path + QStringLiteral(": ") + QString::fromUtf8(name) + QCoreApplication::translate("XmlNavigator", " not Exist !");
    if (onMissingAttribute)
        onMissingAttribute(text);
    else
        qWarning("%s", qUtf8Printable(text));
}

pugi::xml_attribute XmlNavigator::findAttribute(pugi::xml_node node, const QString &path, const char *name)
{
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        reportMissing(path, name);
    return attribute;
}

pugi::xml_attribute XmlNavigator::recordAttribute(pugi::xml_node record, const QString &itemPath, int position,
                                                  const char *name)
{
    // The path is only spelled out for the message: records are read by the hundred thousand.
    const pugi::xml_attribute attribute = record.attribute(name);
    if (!attribute)
        reportMissing(itemPath + QString::number(position), name);
    return attribute;
}

QString XmlNavigator::getAttr(const QString &path, const QString &name)
{
    const pugi::xml_attribute attribute = findAttribute(findNode(path), path, name.toUtf8().constData());
    return attribute ? QString::fromUtf8(attribute.value()) : QString();
}

bool XmlNavigator::setAttr(const QString &path, const QString &name, const QString &value)
{
    pugi::xml_attribute attribute = findAttribute(findNode(path), path, name.toUtf8().constData());
    return attribute && attribute.set_value(value.toUtf8().constData());
}

#include "exchange/pU_XmlTry.h"
#include "app/pU_Funcs.h"
#include "exchange/KvContainer.h"
#include "exchange/KvParallelDeflate.h"
#include <cstring>
#include <stdexcept>

namespace {

// Hands the serialized document to the compressor as it is written.
class DeflateWriter final : public pugi::xml_writer {
public:
    explicit DeflateWriter(KvContainer::Deflater &deflater) : FDeflater(deflater) {}
    void write(const void *data, size_t size) override
    {
        FDeflater.write(static_cast<const char *>(data), qsizetype(size));
    }

private:
    KvContainer::Deflater &FDeflater;
};

int PositionOf(const QString &segment)
{
    bool ok = false;
    const QString digits = segment.mid(segment.indexOf(QLatin1Char('#')) + 1);
    const int position = digits.toInt(&ok);
    if (!ok)
        throw std::invalid_argument(QStringLiteral("'%1' is not a valid integer value").arg(digits).toStdString());
    return position;
}

// The length of a character reference at text that names the NUL character (&#0; &#x00;
// and the like), or 0.
size_t NulReferenceAt(const char *text, const char *end)
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

QByteArray Txmltry::WithoutNulReferences(const char *data, size_t size)
{
    QByteArray text;
    const char *const end = data + size;
    const char *copied = data;
    for (const char *p = data; (p = static_cast<const char *>(memchr(p, '&', size_t(end - p)))); ++p) {
        if (end - p < 4 || p[1] != '#')
            continue;
        const size_t length = NulReferenceAt(p, end);
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

Txmltry::Txmltry() : Document(std::make_unique<pugi::xml_document>()) {}

Txmltry::~Txmltry() = default;

void Txmltry::Load(const char *data, size_t size)
{
    FIndexedParent = pugi::xml_node();
    FIndexedChildren.clear();
    FNameSteps.clear();
    // A value holding a NUL would end there and lose the rest.
    const QByteArray withoutNul = WithoutNulReferences(data, size);
    if (!withoutNul.isNull()) {
        data = withoutNul.constData();
        size = size_t(withoutNul.size());
    }
    // Whitespace between elements is dropped by the default options, so that the children of
    // an element are its elements.
    const pugi::xml_parse_result result = Document->load_buffer(data, size, pugi::parse_default, pugi::encoding_utf8);
    if (!result)
        throw std::runtime_error(
            QStringLiteral("XML error at offset %1: %2").arg(result.offset).arg(QLatin1String(result.description())).toStdString());
}

void Txmltry::LoadFromText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    Load(utf8.constData(), size_t(utf8.size()));
}

void Txmltry::LoadFromFile(const QString &fileName, const std::function<void(qint64)> &progress)
{
    const QByteArray text = KvContainer::ReadFile(fileName, progress);
    Load(text.constData(), size_t(text.size()));
}

void Txmltry::SaveToFile(const QString &fileName, const std::function<void(qint64)> &progress)
{
    KvContainer::Deflater deflater(progress);
    DeflateWriter writer(deflater);
    Document->save(writer, "", pugi::format_raw, pugi::encoding_utf8);
    KvContainer::WriteBytes(fileName, deflater.finishContainer());
}

int Txmltry::CommaCount(const QString &text)
{
    return int(text.count(QLatin1Char(',')));
}

pugi::xml_node Txmltry::ChildAt(pugi::xml_node parent, int index)
{
    if (index < 0)
        return {};
    if (parent != FIndexedParent) {
        FIndexedParent = parent;
        FIndexedChildren.clear();
    }
    // Extends the known children up to index, also past children added since.
    pugi::xml_node next = FIndexedChildren.empty() ? parent.first_child() : FIndexedChildren.back().next_sibling();
    while (int(FIndexedChildren.size()) <= index && next) {
        FIndexedChildren.push_back(next);
        next = next.next_sibling();
    }
    return index < int(FIndexedChildren.size()) ? FIndexedChildren[size_t(index)] : pugi::xml_node();
}

pugi::xml_node Txmltry::ChildNamed(pugi::xml_node parent, const QString &name)
{
    NameStep &step = FNameSteps[qMakePair(parent.hash_value(), name)];
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

pugi::xml_node Txmltry::FindNode(const QString &path)
{
    PathRest = path;
    pugi::xml_node current = Document->document_element();
    const int commas = CommaCount(path);
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
            if (const pugi::xml_node child = ChildAt(current, PositionOf(segment)))
                current = child;
        } else if (const pugi::xml_node child = ChildNamed(current, segment)) {
            current = child;
        }
    }
    return current;
}

int Txmltry::ChildCount(const QString &path)
{
    const pugi::xml_node node = FindNode(path);
    int count = 0;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling())
        ++count;
    return count;
}

pugi::xml_attribute Txmltry::Attribute(const QString &path, const QString &name)
{
    const pugi::xml_attribute attribute = FindNode(path).attribute(name.toUtf8().constData());
    if (!attribute) {
        const QString text = path + QStringLiteral(": ") + name + QStringLiteral(" not Exist !");
        if (OnMissingAttribute)
            OnMissingAttribute(text);
        else
            ErrorBox(text);
    }
    return attribute;
}

QString Txmltry::GetAttr(const QString &path, const QString &name)
{
    const pugi::xml_attribute attribute = Attribute(path, name);
    return attribute ? QString::fromUtf8(attribute.value()) : QString();
}

bool Txmltry::SetAttr(const QString &path, const QString &name, const QString &value)
{
    pugi::xml_attribute attribute = Attribute(path, name);
    return attribute && attribute.set_value(value.toUtf8().constData());
}

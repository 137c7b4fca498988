#include "platform/OoxmlSheet.h"

#include <QDir>
#include <QMap>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <climits>

namespace platform::ooxml {

namespace {

constexpr int kFirstRow = 4;
constexpr int kColumn = 2; // B
// The largest sheet spreadsheet programs know (XFD1048576); a reference
// beyond it is no reference, and no arithmetic on one can overflow.
constexpr int kMaxColumn = 16384;
constexpr int kMaxRow = 1048576;

struct CellRef {
    int column = 0;
    int row = 0;
};

// "B12" -> {2, 12}; a missing or impossible part is 0.
CellRef parseRef(QStringView ref)
{
    CellRef cell;
    qsizetype i = 0;
    for (; i < ref.size() && ref[i].isLetter() && cell.column <= kMaxColumn; ++i)
        cell.column = cell.column * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
    for (; i < ref.size() && ref[i].isDigit() && cell.row <= kMaxRow; ++i)
        cell.row = cell.row * 10 + ref[i].digitValue();
    if (cell.column < 1 || cell.column > kMaxColumn) cell.column = 0;
    if (cell.row < 1 || cell.row > kMaxRow) cell.row = 0;
    return cell;
}

QString refText(CellRef cell)
{
    QString letters;
    for (int c = cell.column; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(cell.row);
}

// XML 1.0 cannot carry most control characters; a cell loses them rather
// than the whole sheet becoming unreadable.
QString xmlSafe(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
            continue;
        }
        if (c.isSurrogate() || c == u'\xFFFE' || c == u'\xFFFF') continue;
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') continue;
        out += c;
    }
    return out;
}

// A whole number from 1 to `max`, else the fallback.
int intAttribute(const QXmlStreamAttributes& attributes, QLatin1String name, int fallback,
                 int max = INT_MAX)
{
    bool ok = false;
    const int value = attributes.value(name).toInt(&ok);
    return ok && value >= 1 && value <= max ? value : fallback;
}

// Streams XML through a writer token by token.
class Copier {
public:
    explicit Copier(const QByteArray& xml) : reader_(xml), writer_(&out_) {}

protected:
    // The copy, or nothing when reading or writing failed.
    std::optional<QByteArray> result() const
    {
        if (reader_.hasError() || writer_.hasError()) return std::nullopt;
        return out_;
    }

    // skip names an attribute the caller writes itself.
    void copyStartElement(QStringView skip = {})
    {
        writer_.writeStartElement(reader_.qualifiedName().toString());
        // Declarations are copied as written, so prefixes that other attributes
        // name (mc:Ignorable="x14ac") stay valid.
        for (const auto& ns : reader_.namespaceDeclarations()) {
            const QString attribute = ns.prefix().isEmpty()
                                          ? QStringLiteral("xmlns")
                                          : QStringLiteral("xmlns:") + ns.prefix().toString();
            writer_.writeAttribute(attribute, ns.namespaceUri().toString());
        }
        for (const auto& a : reader_.attributes()) {
            if (!skip.isEmpty() && a.qualifiedName() == skip) continue;
            writer_.writeAttribute(a.qualifiedName().toString(), a.value().toString());
        }
    }

    void copyToken()
    {
        switch (reader_.tokenType()) {
        case QXmlStreamReader::StartDocument: {
            // A part without a declaration reports no version; version="" is
            // no XML, and spreadsheet programs refuse the whole package.
            const QString version = reader_.documentVersion().isEmpty()
                                        ? QStringLiteral("1.0")
                                        : reader_.documentVersion().toString();
            if (reader_.isStandaloneDocument())
                writer_.writeStartDocument(version, true);
            else
                writer_.writeStartDocument(version);
            break;
        }
        case QXmlStreamReader::EndDocument:
            writer_.writeEndDocument();
            break;
        case QXmlStreamReader::StartElement:
            copyStartElement();
            break;
        case QXmlStreamReader::EndElement:
            writer_.writeEndElement();
            break;
        case QXmlStreamReader::Characters:
            if (reader_.isCDATA())
                writer_.writeCDATA(reader_.text().toString());
            else
                writer_.writeCharacters(reader_.text().toString());
            break;
        case QXmlStreamReader::Comment:
            writer_.writeComment(reader_.text().toString());
            break;
        case QXmlStreamReader::ProcessingInstruction:
            writer_.writeProcessingInstruction(reader_.processingInstructionTarget().toString(),
                                               reader_.processingInstructionData().toString());
            break;
        case QXmlStreamReader::EntityReference:
            writer_.writeEntityReference(reader_.name().toString());
            break;
        default:
            break;
        }
    }

    // Copies the current element with everything inside it.
    void copyElement()
    {
        copyToken();
        int depth = 1;
        while (depth > 0 && !reader_.atEnd()) {
            reader_.readNext();
            if (reader_.hasError()) return;
            if (reader_.isStartElement())
                ++depth;
            else if (reader_.isEndElement())
                --depth;
            copyToken();
        }
    }

    QXmlStreamReader reader_;
    QByteArray out_;
    QXmlStreamWriter writer_;
};

// Where the cells of a worksheet lie: each row's first and last column, and
// the rectangle around them all.
struct Extents {
    QMap<int, std::pair<int, int>> rows;
    CellRef first{INT_MAX, INT_MAX}, last;

    explicit Extents(const QByteArray& xml)
    {
        QXmlStreamReader reader(xml);
        int row = 0, column = 0;
        while (!reader.atEnd()) {
            reader.readNext();
            if (!reader.isStartElement()) continue;
            if (reader.name() == u"row") {
                row = intAttribute(reader.attributes(), QLatin1String("r"), row + 1, kMaxRow);
                column = 0;
            } else if (reader.name() == u"c" && row > 0) {
                const CellRef ref = parseRef(reader.attributes().value(QLatin1String("r")));
                column = ref.column > 0 ? ref.column : column + 1;
                add(row, column);
            }
        }
    }
    void add(int row, int column)
    {
        auto& [from, to] = rows.insert(row, rows.value(row, {column, column})).value();
        from = std::min(from, column);
        to = std::max(to, column);
        first = {std::min(first.column, column), std::min(first.row, row)};
        last = {std::max(last.column, column), std::max(last.row, row)};
    }
    QString dimension() const
    {
        if (rows.isEmpty()) return QStringLiteral("A1");
        return first.column == last.column && first.row == last.row
                   ? refText(first)
                   : refText(first) + u':' + refText(last);
    }
};

// Sets the worksheet's dimension and each row's spans to the cells it holds.
class ExtentStamper : public Copier {
public:
    explicit ExtentStamper(const QByteArray& xml) : Copier(xml), extents_(xml) {}

    std::optional<QByteArray> run()
    {
        int row = 0;
        while (!reader_.atEnd()) {
            reader_.readNext();
            if (reader_.hasError()) break;
            if (reader_.isStartElement() && reader_.name() == u"dimension") {
                copyStartElement(u"ref");
                writer_.writeAttribute(QStringLiteral("ref"), extents_.dimension());
            } else if (reader_.isStartElement() && reader_.name() == u"row") {
                row = intAttribute(reader_.attributes(), QLatin1String("r"), row + 1, kMaxRow);
                copyStartElement(u"spans");
                const auto span = extents_.rows.constFind(row);
                if (span != extents_.rows.cend())
                    writer_.writeAttribute(
                        QStringLiteral("spans"),
                        QStringLiteral("%1:%2").arg(span->first).arg(span->second));
            } else {
                copyToken();
            }
        }
        return result();
    }

private:
    Extents extents_;
};

// Streams a worksheet through unchanged except for the cells of column B.
class Filler : public Copier {
public:
    Filler(const QByteArray& xml, const QStringList& lines) : Copier(xml)
    {
        for (const QString& line : lines)
            lines_ << xmlSafe(line);
    }

    std::optional<QByteArray> run()
    {
        bool sawSheetData = false;
        while (!reader_.atEnd()) {
            reader_.readNext();
            if (reader_.hasError()) return std::nullopt;
            if (reader_.isStartElement() && reader_.name() == u"sheetData") {
                copyToken();
                fillRows();
                sawSheetData = true;
            } else {
                if (reader_.isStartElement() && reader_.name() == u"col") noteColumnStyle();
                copyToken();
            }
        }
        if (!sawSheetData) return std::nullopt;
        return result();
    }

private:
    void noteColumnStyle()
    {
        const auto attributes = reader_.attributes();
        const int min = intAttribute(attributes, QLatin1String("min"), 0);
        const int max = intAttribute(attributes, QLatin1String("max"), min);
        if (min <= kColumn && kColumn <= max && attributes.hasAttribute(QLatin1String("style")))
            columnStyle_ = attributes.value(QLatin1String("style")).toString();
    }

    bool isTarget(int row) const
    {
        return row >= kFirstRow && row - kFirstRow < lines_.size() && row >= nextRow_;
    }

    void fillRows()
    {
        int lastRow = 0;
        while (!reader_.atEnd()) {
            reader_.readNext();
            if (reader_.hasError()) return;
            if (reader_.isEndElement()) {
                writeNewRowsBefore(INT_MAX);
                copyToken();
                return;
            }
            if (reader_.isStartElement() && reader_.name() == u"row") {
                const int row =
                    intAttribute(reader_.attributes(), QLatin1String("r"), lastRow + 1, kMaxRow);
                lastRow = row;
                writeNewRowsBefore(row);
                if (isTarget(row))
                    fillRow(row);
                else
                    copyElement();
            } else if (reader_.isStartElement()) {
                copyElement();
            } else {
                copyToken();
            }
        }
    }

    // Rows the template does not have; empty lines need none.
    void writeNewRowsBefore(int row)
    {
        const int end = std::min<qsizetype>(row, kFirstRow + lines_.size());
        for (; nextRow_ < end; ++nextRow_) {
            const QString& text = lines_[nextRow_ - kFirstRow];
            if (text.isEmpty()) continue;
            writer_.writeStartElement(QStringLiteral("row"));
            writer_.writeAttribute(QStringLiteral("r"), QString::number(nextRow_));
            writeCell(nextRow_, columnStyle_, text);
            writer_.writeEndElement();
        }
    }

    void fillRow(int row)
    {
        const auto rowAttributes = reader_.attributes();
        QString style = columnStyle_;
        if (rowAttributes.value(QLatin1String("customFormat")) == u"1" &&
            rowAttributes.hasAttribute(QLatin1String("s")))
            style = rowAttributes.value(QLatin1String("s")).toString();
        // A row's "spans" is only a hint and must not contradict its cells.
        copyStartElement(u"spans");
        const QString& text = lines_[row - kFirstRow];
        nextRow_ = row + 1;
        bool written = false;
        int lastColumn = 0;
        while (!reader_.atEnd()) {
            reader_.readNext();
            if (reader_.hasError()) return;
            if (reader_.isEndElement()) {
                if (!written) writeCell(row, style, text);
                copyToken();
                return;
            }
            if (!reader_.isStartElement()) {
                copyToken();
                continue;
            }
            int column = INT_MAX; // whatever follows the cells
            if (reader_.name() == u"c") {
                const auto attributes = reader_.attributes();
                const CellRef ref = parseRef(attributes.value(QLatin1String("r")));
                column = ref.column > 0 ? ref.column : lastColumn + 1;
                lastColumn = column;
                if (column == kColumn) {
                    // The template's cell gives way, its look stays.
                    writeCell(row,
                              attributes.hasAttribute(QLatin1String("s"))
                                  ? attributes.value(QLatin1String("s")).toString()
                                  : style,
                              text, true);
                    written = true;
                    reader_.skipCurrentElement();
                    continue;
                }
            }
            if (column > kColumn && !written) {
                writeCell(row, style, text);
                written = true;
            }
            copyElement();
        }
    }

    void writeCell(int row, const QString& style, const QString& text, bool replacing = false)
    {
        if (text.isEmpty() && !(replacing && !style.isEmpty())) return;
        writer_.writeStartElement(QStringLiteral("c"));
        writer_.writeAttribute(QStringLiteral("r"), refText({kColumn, row}));
        if (!style.isEmpty()) writer_.writeAttribute(QStringLiteral("s"), style);
        if (!text.isEmpty()) {
            writer_.writeAttribute(QStringLiteral("t"), QStringLiteral("inlineStr"));
            writer_.writeStartElement(QStringLiteral("is"));
            writer_.writeStartElement(QStringLiteral("t"));
            writer_.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
            writer_.writeCharacters(text);
            writer_.writeEndElement();
            writer_.writeEndElement();
        }
        writer_.writeEndElement();
    }

    QStringList lines_;
    QString columnStyle_;
    int nextRow_ = kFirstRow; // first target row not yet written
};

} // namespace

QString firstSheetPart(const QByteArray& workbookXml, const QByteArray& workbookRelsXml)
{
    QString id;
    QXmlStreamReader workbook(workbookXml);
    while (!workbook.atEnd() && id.isEmpty()) {
        workbook.readNext();
        if (!workbook.isStartElement() || workbook.name() != u"sheet") continue;
        for (const auto& a : workbook.attributes())
            if (a.name() == u"id" && !a.namespaceUri().isEmpty()) id = a.value().toString();
        if (id.isEmpty()) return {};
    }
    if (id.isEmpty()) return {};

    QXmlStreamReader rels(workbookRelsXml);
    while (!rels.atEnd()) {
        rels.readNext();
        if (!rels.isStartElement() || rels.name() != u"Relationship" ||
            rels.attributes().value(QLatin1String("Id")) != id)
            continue;
        const QString target = rels.attributes().value(QLatin1String("Target")).toString();
        if (target.isEmpty() || rels.attributes().value(QLatin1String("TargetMode")) == u"External")
            return {};
        // Targets are relative to the workbook's folder unless absolute.
        const QString part =
            target.startsWith(u'/') ? target.mid(1) : QStringLiteral("xl/") + target;
        const QString clean = QDir::cleanPath(part);
        return clean.startsWith(QStringLiteral("../")) ? QString() : clean;
    }
    return {};
}

std::optional<QByteArray> fillColumnB(const QByteArray& sheetXml, const QStringList& lines)
{
    const std::optional<QByteArray> filled = Filler(sheetXml, lines).run();
    if (!filled) return std::nullopt;
    return ExtentStamper(*filled).run();
}

QByteArray templateToWorkbook(const QByteArray& contentTypesXml)
{
    QByteArray out = contentTypesXml;
    out.replace("application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml",
                "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
    return out;
}

} // namespace platform::ooxml

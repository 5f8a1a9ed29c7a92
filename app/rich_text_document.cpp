#include "app/rich_text_document.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <optional>
#include <set>

#include "richtext/characters.h"
#include "richtext/utf8.h"

namespace brindle::app {

namespace {

using richtext::FontFamily;

// Where the model's tables and indexes travel inside the QTextDocument.
constexpr const char* kFontsProperty = "brindleRichTextFonts";
constexpr const char* kColoursProperty = "brindleRichTextColours";
constexpr const char* kCodePageProperty = "brindleRichTextCodePage";
constexpr const char* kHiddenProperty = "brindleRichTextHidden";
constexpr int kFontIndexProperty = QTextFormat::UserProperty + 1;
constexpr int kColourIndexProperty = QTextFormat::UserProperty + 2;
// On a character (or a block, for its start): the number of the hidden runs
// that follow it, an index into the document's kHiddenProperty list.
constexpr int kHiddenAfterProperty = QTextFormat::UserProperty + 3;

constexpr const char* kFontNameKey = "name";
constexpr const char* kFontFamilyKey = "family";
constexpr const char* kFontCharsetKey = "charset";

Qt::Alignment toQt(richtext::Alignment alignment) {
    switch (alignment) {
        case richtext::Alignment::Centre:
            return Qt::AlignHCenter;
        case richtext::Alignment::Right:
            return Qt::AlignRight;
        case richtext::Alignment::Justify:
            return Qt::AlignJustify;
        case richtext::Alignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

richtext::Alignment fromQt(Qt::Alignment alignment) {
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignJustify) {
        return richtext::Alignment::Justify;
    }
    if (horizontal & Qt::AlignHCenter) {
        return richtext::Alignment::Centre;
    }
    if (horizontal & Qt::AlignRight) {
        return richtext::Alignment::Right;
    }
    return richtext::Alignment::Left;
}

QFont::StyleHint styleHint(FontFamily family) {
    switch (family) {
        case FontFamily::Roman:
            return QFont::Serif;
        case FontFamily::Swiss:
            return QFont::SansSerif;
        case FontFamily::Modern:
            return QFont::Monospace;
        case FontFamily::Script:
            return QFont::Cursive;
        case FontFamily::Decor:
            return QFont::Decorative;
        case FontFamily::Nil:
        case FontFamily::Tech:
        case FontFamily::Bidi:
            break;
    }
    return QFont::AnyStyle;
}

FontFamily familyOfHint(QFont::StyleHint hint) {
    switch (hint) {
        case QFont::Serif:
            return FontFamily::Roman;
        case QFont::SansSerif:
            return FontFamily::Swiss;
        case QFont::TypeWriter:
        case QFont::Monospace:
            return FontFamily::Modern;
        case QFont::Cursive:
            return FontFamily::Script;
        case QFont::Decorative:
            return FontFamily::Decor;
        default:
            break;
    }
    return FontFamily::Nil;
}

QString toQtText(const std::string& utf8) {
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    for (QChar& c : text) {
        // Each of these would start a new block inside the QTextDocument.
        if (c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator) {
            c = QChar::LineSeparator;
        } else if (c == QChar(0xFDD0) || c == QChar(0xFDD1)) {
            c = QChar::ReplacementCharacter;
        }
    }
    return text;
}

std::string fromQtText(const QString& text) {
    std::string utf8;
    for (const char32_t c : text.toUcs4()) {
        if (const std::optional<char32_t> kept = richtext::normaliseCharacter(c)) {
            richtext::appendUtf8(utf8, *kept);
        }
    }
    return utf8;
}

QString fontName(const richtext::Font& font) {
    return QString::fromStdString(font.name);
}

QTextCharFormat toQt(const richtext::Document& document, const richtext::Format& format) {
    QTextCharFormat result;
    result.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    result.setFontItalic(format.italic);
    result.setFontUnderline(format.underline);
    result.setFontPointSize(format.fontSize / 2.0);
    if (format.font >= 0 && static_cast<std::size_t>(format.font) < document.fonts.size()) {
        const richtext::Font& font = document.fonts[static_cast<std::size_t>(format.font)];
        result.setFontFamilies({fontName(font)});
        result.setFontStyleHint(styleHint(font.family));
        result.setProperty(kFontIndexProperty, format.font);
    }
    if (const richtext::Colour* colour = richtext::colourOf(document, format)) {
        result.setForeground(QColor(colour->red, colour->green, colour->blue));
        result.setProperty(kColourIndexProperty, format.colour);
    }
    return result;
}

void storeTables(const richtext::Document& source, QTextDocument& target) {
    QVariantList fonts;
    for (const richtext::Font& font : source.fonts) {
        fonts.append(QVariantMap{{kFontNameKey, fontName(font)},
                                 {kFontFamilyKey, static_cast<int>(font.family)},
                                 {kFontCharsetKey, font.charset}});
    }
    QVariantList colours;
    for (const richtext::Colour& colour : source.colours) {
        colours.append(QColor(colour.red, colour.green, colour.blue));
    }
    target.setProperty(kFontsProperty, fonts);
    target.setProperty(kColoursProperty, colours);
    target.setProperty(kCodePageProperty, source.codePage);
}

void loadTables(const QTextDocument& source, richtext::Document& target) {
    for (const QVariant& entry : source.property(kFontsProperty).toList()) {
        const QVariantMap font = entry.toMap();
        const int family =
            std::clamp(font.value(kFontFamilyKey).toInt(), 0, static_cast<int>(FontFamily::Bidi));
        target.fonts.push_back({font.value(kFontNameKey).toString().toStdString(),
                                static_cast<FontFamily>(family),
                                font.value(kFontCharsetKey, richtext::kNoCharset).toInt()});
    }
    bool known = false;
    const int codePage = source.property(kCodePageProperty).toInt(&known);
    target.codePage = known ? codePage : richtext::kDefaultCodePage;
    for (const QVariant& entry : source.property(kColoursProperty).toList()) {
        const QColor colour = entry.value<QColor>();
        target.colours.push_back({static_cast<std::uint8_t>(colour.red()),
                                  static_cast<std::uint8_t>(colour.green()),
                                  static_cast<std::uint8_t>(colour.blue())});
    }
}

// The table index the format remembers, when it is still in range and
// the entry still matches.
template <typename Matches>
std::optional<int> rememberedIndex(const QTextCharFormat& format, int property, int size,
                                   Matches matches) {
    if (!format.hasProperty(property)) {
        return std::nullopt;
    }
    const int index = format.intProperty(property);
    if (index < 0 || index >= size || !matches(index)) {
        return std::nullopt;
    }
    return index;
}

int fontIndex(const QTextCharFormat& format, richtext::Document& document) {
    const QStringList families = format.fontFamilies().toStringList();
    const std::string name = families.isEmpty() ? std::string() : families.front().toStdString();
    auto& fonts = document.fonts;
    const auto size = static_cast<int>(fonts.size());
    auto named = [&](int index) { return fonts[static_cast<std::size_t>(index)].name == name; };
    if (const std::optional<int> index = rememberedIndex(format, kFontIndexProperty, size, named)) {
        return *index;
    }
    if (families.isEmpty()) {
        return 0;
    }
    for (int index = 0; index < size; ++index) {
        if (named(index)) {
            return index;
        }
    }
    // An unset hint reads as QFont::Helvetica, which is no choice at all.
    const bool hinted = format.hasProperty(QTextFormat::FontStyleHint);
    fonts.push_back({name, hinted ? familyOfHint(format.fontStyleHint()) : FontFamily::Nil});
    return size;
}

int colourIndex(const QTextCharFormat& format, richtext::Document& document) {
    if (!format.hasProperty(QTextFormat::ForegroundBrush) ||
        format.foreground().style() == Qt::NoBrush) {
        return 0;
    }
    const QColor qtColour = format.foreground().color();
    const richtext::Colour colour{static_cast<std::uint8_t>(qtColour.red()),
                                  static_cast<std::uint8_t>(qtColour.green()),
                                  static_cast<std::uint8_t>(qtColour.blue())};
    auto& colours = document.colours;
    const auto size = static_cast<int>(colours.size());
    // Model colour n is colours[n - 1].
    auto same = [&](int index) {
        return index > 0 && colours[static_cast<std::size_t>(index) - 1] == colour;
    };
    if (const std::optional<int> index =
            rememberedIndex(format, kColourIndexProperty, size + 1, same)) {
        return *index;
    }
    for (int index = 1; index <= size; ++index) {
        if (same(index)) {
            return index;
        }
    }
    colours.push_back(colour);
    return size + 1;
}

// Hidden runs are kept out of the editor's text, in a list beside it.
QVariantMap hiddenRunToQt(const richtext::Run& run) {
    const richtext::Format& format = run.format;
    return {{"text", QString::fromStdString(run.text)},
            {"bold", format.bold},
            {"italic", format.italic},
            {"underline", format.underline},
            {"fontSize", format.fontSize},
            {"font", format.font},
            {"colour", format.colour}};
}

richtext::Run hiddenRunFromQt(const QVariant& entry) {
    const QVariantMap map = entry.toMap();
    richtext::Run run;
    run.text = map.value("text").toString().toStdString();
    run.format.bold = map.value("bold").toBool();
    run.format.italic = map.value("italic").toBool();
    run.format.underline = map.value("underline").toBool();
    run.format.fontSize = map.value("fontSize", richtext::kDefaultFontSize).toInt();
    run.format.font = map.value("font").toInt();
    run.format.colour = map.value("colour").toInt();
    run.format.hidden = true;
    return run;
}

// The hidden runs from at on (none when the run at is shown), at moved past them.
QVariantList takeHiddenRuns(const std::vector<richtext::Run>& runs, std::size_t& at) {
    QVariantList taken;
    for (; at < runs.size() && runs[at].format.hidden; ++at) {
        if (!runs[at].text.empty()) {
            taken.append(hiddenRunToQt(runs[at]));
        }
    }
    return taken;
}

// Shown text, then the hidden runs that hang on its last character (the
// character stays with them when the text before or after it is edited).
void insertShownText(QTextCursor& cursor, const QString& text, QTextCharFormat format,
                     const QVariantList& hiddenAfter, QVariantList& hidden) {
    if (hiddenAfter.isEmpty()) {
        cursor.insertText(text, format);
        return;
    }
    qsizetype last = text.size() - 1;
    if (last > 0 && text[last].isLowSurrogate()) {
        --last;
    }
    if (last > 0) {
        cursor.insertText(text.left(last), format);
    }
    format.setProperty(kHiddenAfterProperty, static_cast<int>(hidden.size()));
    hidden.append(QVariant(hiddenAfter));
    cursor.insertText(text.mid(last), format);
}

richtext::Format fromQt(const QTextCharFormat& format, richtext::Document& document) {
    richtext::Format result;
    result.bold = format.fontWeight() >= QFont::DemiBold;
    result.italic = format.fontItalic();
    result.underline = format.fontUnderline();
    const double points = format.fontPointSize();
    if (points > 0) {
        result.fontSize =
            std::clamp(static_cast<int>(std::lround(points * 2)), 1, richtext::kMaxFontSize);
    }
    result.font = fontIndex(format, document);
    result.colour = colourIndex(format, document);
    return result;
}

}  // namespace

void fillTextDocument(const richtext::Document& source, QTextDocument& target) {
    const bool undoRedo = target.isUndoRedoEnabled();
    target.setUndoRedoEnabled(false);
    target.clear();
    storeTables(source, target);
    QTextCursor cursor(&target);
    QVariantList hidden;
    bool first = true;
    for (const richtext::Paragraph& paragraph : source.paragraphs) {
        QTextBlockFormat blockFormat;
        blockFormat.setAlignment(toQt(paragraph.alignment));
        std::size_t at = 0;
        // Hidden runs before any shown text hang on the block.
        const QVariantList leading = takeHiddenRuns(paragraph.runs, at);
        if (!leading.isEmpty()) {
            blockFormat.setProperty(kHiddenAfterProperty, static_cast<int>(hidden.size()));
            hidden.append(QVariant(leading));
        }
        if (first) {
            cursor.setBlockFormat(blockFormat);
            first = false;
        } else {
            cursor.insertBlock(blockFormat);
        }
        while (at < paragraph.runs.size()) {
            const richtext::Run& run = paragraph.runs[at++];
            const QVariantList after = takeHiddenRuns(paragraph.runs, at);
            if (!run.text.empty()) {
                insertShownText(cursor, toQtText(run.text), toQt(source, run.format), after,
                                hidden);
            }
        }
    }
    target.setProperty(kHiddenProperty, hidden);
    target.setUndoRedoEnabled(undoRedo);
}

richtext::Document fromTextDocument(const QTextDocument& source) {
    richtext::Document result;
    loadTables(source, result);
    const QVariantList hidden = source.property(kHiddenProperty).toList();
    // Each list of hidden runs goes back once, where its place first shows
    // (a block split in two carries the place of its start twice).
    std::set<int> placed;
    auto placeHidden = [&](const QTextFormat& format, richtext::Paragraph& paragraph) {
        if (!format.hasProperty(kHiddenAfterProperty)) {
            return;
        }
        const int index = format.intProperty(kHiddenAfterProperty);
        if (index < 0 || index >= hidden.size() || !placed.insert(index).second) {
            return;
        }
        for (const QVariant& entry : hidden[index].toList()) {
            const richtext::Run run = hiddenRunFromQt(entry);
            richtext::appendText(paragraph, run.format, run.text);
        }
    };
    auto appendShown = [&](richtext::Paragraph& paragraph, const QString& text,
                           const QTextCharFormat& format) {
        const std::string utf8 = fromQtText(text);
        // Only formats that show text may add to the tables.
        if (!utf8.empty()) {
            richtext::appendText(paragraph, fromQt(format, result), utf8);
        }
    };
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        richtext::Paragraph paragraph;
        paragraph.alignment = fromQt(block.blockFormat().alignment());
        placeHidden(block.blockFormat(), paragraph);
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            if (!piece.isValid() || piece.text().isEmpty()) {
                continue;
            }
            const QString text = piece.text();
            const QTextCharFormat format = piece.charFormat();
            // Text typed after the character the hidden runs hang on takes
            // its format: the runs go right after that first character.
            const qsizetype head = text.size() > 1 && text[0].isHighSurrogate() ? 2 : 1;
            appendShown(paragraph, text.left(head), format);
            placeHidden(format, paragraph);
            appendShown(paragraph, text.mid(head), format);
        }
        result.paragraphs.push_back(std::move(paragraph));
    }
    return result;
}

}  // namespace brindle::app

#include "app/rich_text_document.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <optional>

#include "richtext/characters.h"
#include "richtext/utf8.h"

namespace brindle::app {

namespace {

using richtext::FontFamily;

// Where the model's tables and indexes travel inside the QTextDocument.
constexpr const char* kFontsProperty = "brindleRichTextFonts";
constexpr const char* kColoursProperty = "brindleRichTextColours";
constexpr int kFontIndexProperty = QTextFormat::UserProperty + 1;
constexpr int kColourIndexProperty = QTextFormat::UserProperty + 2;

constexpr const char* kFontNameKey = "name";
constexpr const char* kFontFamilyKey = "family";

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
                                 {kFontFamilyKey, static_cast<int>(font.family)}});
    }
    QVariantList colours;
    for (const richtext::Colour& colour : source.colours) {
        colours.append(QColor(colour.red, colour.green, colour.blue));
    }
    target.setProperty(kFontsProperty, fonts);
    target.setProperty(kColoursProperty, colours);
}

void loadTables(const QTextDocument& source, richtext::Document& target) {
    for (const QVariant& entry : source.property(kFontsProperty).toList()) {
        const QVariantMap font = entry.toMap();
        const int family =
            std::clamp(font.value(kFontFamilyKey).toInt(), 0, static_cast<int>(FontFamily::Bidi));
        target.fonts.push_back(
            {font.value(kFontNameKey).toString().toStdString(), static_cast<FontFamily>(family)});
    }
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
    bool first = true;
    for (const richtext::Paragraph& paragraph : source.paragraphs) {
        QTextBlockFormat blockFormat;
        blockFormat.setAlignment(toQt(paragraph.alignment));
        if (first) {
            cursor.setBlockFormat(blockFormat);
            first = false;
        } else {
            cursor.insertBlock(blockFormat);
        }
        for (const richtext::Run& run : paragraph.runs) {
            if (!run.text.empty()) {
                cursor.insertText(toQtText(run.text), toQt(source, run.format));
            }
        }
    }
    target.setUndoRedoEnabled(undoRedo);
}

richtext::Document fromTextDocument(const QTextDocument& source) {
    richtext::Document result;
    loadTables(source, result);
    for (QTextBlock block = source.begin(); block.isValid(); block = block.next()) {
        richtext::Paragraph paragraph;
        paragraph.alignment = fromQt(block.blockFormat().alignment());
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextFragment piece = fragment.fragment();
            const std::string text = piece.isValid() ? fromQtText(piece.text()) : std::string();
            // Only formats that show text may add to the tables.
            if (!text.empty()) {
                richtext::appendText(paragraph, fromQt(piece.charFormat(), result), text);
            }
        }
        result.paragraphs.push_back(std::move(paragraph));
    }
    return result;
}

}  // namespace brindle::app

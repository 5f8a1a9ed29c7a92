// The help window's document model through a QTextDocument and back.
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>
#include <sstream>
#include <string>
#include <vector>

#include "app/rich_text_document.h"
#include "tests/richtext/document_printing.h"

using brindle::app::fillTextDocument;
using brindle::app::fromTextDocument;
using namespace brindle::richtext;
using TextRun = brindle::richtext::Run;

namespace {

std::string describe(const Document& document) {
    std::ostringstream out;
    PrintTo(document, &out);
    return out.str();
}

Document throughQt(const Document& document) {
    QTextDocument qtDocument;
    fillTextDocument(document, qtDocument);
    return fromTextDocument(qtDocument);
}

Paragraph paragraph(std::vector<TextRun> runs, Alignment alignment = Alignment::Left) {
    return Paragraph{alignment, std::move(runs)};
}

Document alignments() {
    Document document;
    document.paragraphs = {paragraph({{"left", Format{}}}),
                           paragraph({{"centre", Format{}}}, Alignment::Centre),
                           paragraph({}, Alignment::Centre),
                           paragraph({{"right", Format{}}}, Alignment::Right),
                           paragraph({{"justified", Format{}}}, Alignment::Justify),
                           paragraph({})};
    return document;
}

Document styles() {
    Document document;
    document.paragraphs = {
        paragraph({{"bold", Format{.bold = true}},
                   {"italic", Format{.italic = true}},
                   {"underline", Format{.underline = true}},
                   {"all", Format{.bold = true, .italic = true, .underline = true}},
                   {"none", Format{}}})};
    return document;
}

Document sizes() {
    Document document;
    document.paragraphs = {paragraph({{"half", Format{.fontSize = 1}},
                                      {"nine and a half", Format{.fontSize = 19}},
                                      {"twelve", Format{.fontSize = 24}},
                                      {"largest", Format{.fontSize = 3276}}})};
    return document;
}

Document fonts() {
    Document document;
    document.fonts = {{"Times New Roman", FontFamily::Roman},
                      {"Arial", FontFamily::Swiss},
                      {"Courier New", FontFamily::Modern},
                      {"Script", FontFamily::Script},
                      {"Fancy", FontFamily::Decor},
                      {"Symbol", FontFamily::Tech},
                      {"Bidi", FontFamily::Bidi},
                      {"Unused", FontFamily::Nil},
                      {"Arial", FontFamily::Nil},
                      {"", FontFamily::Nil}};
    document.paragraphs = {paragraph({{"a", Format{.font = 6}},
                                      {"b", Format{.font = 0}},
                                      {"c", Format{.font = 8}},
                                      {"d", Format{.font = 1}},
                                      {"e", Format{.font = 2}},
                                      {"f", Format{.font = 3}},
                                      {"g", Format{.font = 4}},
                                      {"h", Format{.font = 5}},
                                      {"i", Format{.font = 9}}})};
    return document;
}

Document colours() {
    Document document;
    document.colours = {{255, 0, 0}, {0, 128, 0}, {255, 0, 0}, {1, 2, 3}, {0, 0, 0}};
    document.paragraphs = {paragraph({{"red again", Format{.colour = 3}},
                                      {"automatic", Format{}},
                                      {"red", Format{.colour = 1}},
                                      {"black", Format{.colour = 5}}})};
    return document;
}

Document text() {
    Document document;
    document.fonts = {{"Arial", FontFamily::Swiss}};
    document.paragraphs = {
        paragraph({{"\tcolumn\tcolumn\nsecond line\n\n", Format{}},
                   {"caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9 \xF0\x9F\x98\x80  spaces  ",
                    Format{.italic = true}}}),
        paragraph({{"\n", Format{.bold = true}}})};
    return document;
}

Document mixed() {
    Document document = fonts();
    document.colours = {{10, 20, 30}};
    document.paragraphs.push_back(paragraph(
        {{"x", Format{.bold = true, .fontSize = 40, .font = 2, .colour = 1}},
         {"y", Format{.italic = true, .underline = true, .fontSize = 16, .font = 2, .colour = 1}}},
        Alignment::Right));
    return document;
}

// Hidden runs at a paragraph's start, inside, after an emoji, in a row with
// different formats and at its end; a paragraph of hidden text only; two
// equal places that must stay two.
Document hidden() {
    Document document;
    document.codePage = 1251;
    document.fonts = {{"Arial", FontFamily::Swiss}, {"Arial Cyr", FontFamily::Swiss, 204}};
    const Format h{.hidden = true};
    document.paragraphs = {paragraph({{"lead", h},
                                      {"shown ", Format{}},
                                      {"mid", h},
                                      {"more\xF0\x9F\x98\x80", Format{}},
                                      {"b", Format{.bold = true, .hidden = true}},
                                      {"c", h},
                                      {"x", Format{}},
                                      {"end", Format{.font = 1, .hidden = true}}}),
                           paragraph({{"all hidden", h}}),
                           paragraph({{"a", Format{}}, {"X", h}, {"a", Format{}}, {"X", h}})};
    return document;
}

struct Case {
    const char* name;
    Document document;
};

std::vector<Case> roundTripCases() {
    return {{"alignments", alignments()}, {"styles", styles()},   {"sizes", sizes()},
            {"fonts", fonts()},           {"colours", colours()}, {"text", text()},
            {"mixed", mixed()},           {"hidden", hidden()}};
}

QTextCursor cursorAtEnd(QTextDocument& document) {
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    return cursor;
}

}  // namespace

class RichTextDocumentTest : public QObject {
    Q_OBJECT

  private slots:
    void roundTrip_data() {
        QTest::addColumn<int>("index");
        const std::vector<Case> cases = roundTripCases();
        for (std::size_t i = 0; i < cases.size(); ++i) {
            QTest::newRow(cases[i].name) << static_cast<int>(i);
        }
    }

    void roundTrip() {
        QFETCH(int, index);
        const Document original = roundTripCases().at(static_cast<std::size_t>(index)).document;
        const Document back = throughQt(original);
        QVERIFY2(back == original, (describe(back) + "\nexpected" + describe(original)).c_str());
    }

    // The editor never shows hidden text; text typed after the character it
    // hangs on leaves it there, and a block split in two keeps it once.
    void keepsHiddenTextOutOfSightThroughEdits() {
        QTextDocument qtDocument;
        fillTextDocument(hidden(), qtDocument);
        QCOMPARE(qtDocument.toPlainText(), QStringLiteral("shown more\U0001F600x\n\naa"));
        QTextCursor cursor(&qtDocument);
        cursor.setPosition(6);
        cursor.insertText(QStringLiteral("T"));
        cursor.setPosition(2);
        cursor.insertBlock();

        Document expected = hidden();
        const Format h{.hidden = true};
        expected.paragraphs[0].runs = {{"lead", h}, {"sh", Format{}}};
        expected.paragraphs.insert(expected.paragraphs.begin() + 1,
                                   paragraph({{"own ", Format{}},
                                              {"mid", h},
                                              {"Tmore\xF0\x9F\x98\x80", Format{}},
                                              {"b", Format{.bold = true, .hidden = true}},
                                              {"c", h},
                                              {"x", Format{}},
                                              {"end", Format{.font = 1, .hidden = true}}}));
        const Document back = fromTextDocument(qtDocument);
        QVERIFY2(back == expected, (describe(back) + "\nexpected" + describe(expected)).c_str());
    }

    void fillsOneBlockPerParagraphWithItsAlignment() {
        QTextDocument target;
        fillTextDocument(alignments(), target);
        QCOMPARE(target.blockCount(), 6);
        QCOMPARE(target.findBlockByNumber(0).text(), QString("left"));
        QCOMPARE(target.findBlockByNumber(1).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignHCenter);
        QCOMPARE(target.findBlockByNumber(2).text(), QString());
        QCOMPARE(target.findBlockByNumber(3).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        QCOMPARE(target.findBlockByNumber(4).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignJustify);
    }

    void givesTheRunsTheirCharacterFormats() {
        QTextDocument target;
        fillTextDocument(mixed(), target);
        const QTextBlock last = target.lastBlock();
        QTextBlock::iterator fragment = last.begin();
        const QTextCharFormat x = fragment.fragment().charFormat();
        QCOMPARE(fragment.fragment().text(), QString("x"));
        QCOMPARE(x.fontWeight(), int{QFont::Bold});
        QVERIFY(!x.fontItalic());
        QCOMPARE(x.fontPointSize(), 20.0);
        QCOMPARE(x.fontFamilies().toStringList(), QStringList{"Courier New"});
        QCOMPARE(x.fontStyleHint(), QFont::Monospace);
        QCOMPARE(x.foreground().color(), QColor(10, 20, 30));
        ++fragment;
        const QTextCharFormat y = fragment.fragment().charFormat();
        QCOMPARE(y.fontWeight(), int{QFont::Normal});
        QVERIFY(y.fontItalic());
        QVERIFY(y.fontUnderline());
        QCOMPARE(y.fontPointSize(), 8.0);
    }

    void leavesTheAutomaticColourToTheEditor() {
        QTextDocument target;
        fillTextDocument(colours(), target);
        QTextBlock::iterator fragment = target.firstBlock().begin();
        QCOMPARE(fragment.fragment().charFormat().foreground().color(), QColor(255, 0, 0));
        ++fragment;
        QCOMPARE(fragment.fragment().text(), QString("automatic"));
        QCOMPARE(fragment.fragment().charFormat().foreground().style(), Qt::NoBrush);
    }

    void writesLineBreaksAsLineSeparatorsAndKeepsTabs() {
        QTextDocument target;
        fillTextDocument(text(), target);
        QCOMPARE(target.blockCount(), 2);
        const QString first = target.firstBlock().text();
        QVERIFY(first.startsWith(QString("\tcolumn\tcolumn") + QChar::LineSeparator + "second"));
        QVERIFY(!first.contains(u'\n'));
        QCOMPARE(target.lastBlock().text(), QString(QChar::LineSeparator));
    }

    void readsAnEmptyEditorAsOneEmptyParagraph() {
        QTextDocument target;
        Document expected;
        expected.paragraphs = {Paragraph{}};
        QVERIFY(fromTextDocument(target) == expected);
        QVERIFY(throughQt(Document{}) == expected);
    }

    void replacesTheEditorsContentWithoutAnUndoStep() {
        QTextDocument target;
        QTextCursor(&target).insertText("typed before");
        fillTextDocument(styles(), target);
        QCOMPARE(target.blockCount(), 1);
        QVERIFY(target.toPlainText().startsWith("bold"));
        QVERIFY(!target.isUndoAvailable());
        QVERIFY(target.isUndoRedoEnabled());
        QVERIFY(fromTextDocument(target) == styles());
    }

    void addsFontsAndColoursOfTextFormattedInTheEditor() {
        QTextDocument target;
        QTextCursor cursor(&target);
        cursor.insertText("plain");
        QTextCharFormat courier;
        courier.setFontFamilies({"Courier New"});
        courier.setFontStyleHint(QFont::TypeWriter);
        courier.setFontWeight(QFont::Black);
        courier.setFontPointSize(10.5);
        courier.setForeground(QColor(0, 0, 255));
        cursor.insertText("code", courier);
        QTextBlockFormat right;
        right.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        cursor.insertBlock(right);
        QTextCharFormat arial;
        arial.setFontFamilies({"Arial"});
        arial.setForeground(QColor(255, 0, 0));
        cursor.insertText("red", arial);
        courier.setFontWeight(QFont::Normal);
        cursor.insertText("blue" + QString(QChar::LineSeparator), courier);

        const Document read = fromTextDocument(target);
        QVERIFY2(read.fonts == (std::vector<Font>{{"Courier New", FontFamily::Modern},
                                                  {"Arial", FontFamily::Nil}}),
                 describe(read).c_str());
        QVERIFY2(read.colours == (std::vector<Colour>{{0, 0, 255}, {255, 0, 0}}),
                 describe(read).c_str());
        Document expected = read;
        expected.paragraphs = {
            paragraph({{"plain", Format{}},
                       {"code", Format{.bold = true, .fontSize = 21, .font = 0, .colour = 1}}}),
            paragraph({{"red", Format{.font = 1, .colour = 2}},
                       {"blue\n", Format{.fontSize = 21, .font = 0, .colour = 1}}},
                      Alignment::Right)};
        QVERIFY2(read == expected, describe(read).c_str());
    }

    void keepsTheTablesThroughEdits() {
        Document original;
        original.fonts = {
            {"A", FontFamily::Roman}, {"B", FontFamily::Swiss}, {"Unused", FontFamily::Tech}};
        original.colours = {{255, 0, 0}, {0, 255, 0}};
        original.paragraphs = {paragraph({{"red", Format{.font = 1, .colour = 1}}})};
        QTextDocument target;
        fillTextDocument(original, target);

        // Recolour the word with the unused green, and add text in a new font.
        QTextCursor cursor(&target);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat green;
        green.setForeground(QColor(0, 255, 0));
        cursor.mergeCharFormat(green);
        QTextCharFormat other;
        other.setFontFamilies({"C"});
        cursorAtEnd(target).insertText(" more", other);

        const Document read = fromTextDocument(target);
        Document expected = original;
        expected.fonts.push_back({"C", FontFamily::Nil});
        expected.paragraphs = {
            paragraph({{"red", Format{.font = 1, .colour = 2}}, {" more", Format{.font = 3}}})};
        QVERIFY2(read == expected, describe(read).c_str());
    }
};

QTEST_MAIN(RichTextDocumentTest)
#include "rich_text_document_test.moc"

#pragma once
// Between the rich-text document model (what helpmacro.rtf holds) and the
// QTextDocument of the help window's editor.
#include <QTextDocument>

#include "richtext/document.h"

namespace brindle::app {

// Replaces the content of target with source, without an undo step: one
// block per paragraph with its alignment, and per run a character format
// with its weight (bold or normal), italic, underline, point size (half the
// model's half-points), font family name (with a style hint after the font
// family class) and foreground colour (none for the automatic colour).
// Tabs stay tabs; line breaks become QChar::LineSeparator. Hidden runs are
// not shown: they travel beside the text, hanging on the shown character
// before them (or on the block, at its start). The code page, the font and
// colour tables travel with target (as properties of the document, and the
// table indexes as properties of the formats), so that fromTextDocument
// gives back fonts and colours no run uses any more, in their order.
void fillTextDocument(const richtext::Document& source, QTextDocument& target);

// The model of source: one paragraph per block (so an empty QTextDocument
// gives one empty paragraph), runs from the fragments' character formats.
// Fonts and colours start from the tables fillTextDocument left; a font
// name or colour not in them is added at the end (a new font's family class
// from the format's style hint, Nil without one). A format without a font
// family has font 0 (the default font), one without a point size the
// model's default size; line separators become line breaks.
richtext::Document fromTextDocument(const QTextDocument& source);

}  // namespace brindle::app

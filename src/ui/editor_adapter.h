// The source editor QuelltextMemo: a QScintilla editor that shows code page 1252 bytes as their
// characters and gives back exactly those bytes.
#pragma once

#include <QObject>
#include <cstddef>

#include "engine/text.h"

class QsciScintilla;
class QsciLexerHTML;
class QWidget;

namespace quintaro::ui {

class EditorAdapter : public QObject {
    Q_OBJECT
  public:
    // Above this size the HTML colouring is switched off: lexing a page of that size, often a
    // single line after an optimisation, would make scrolling and typing lag.
    static constexpr std::size_t kFarbGrenze = 512 * 1024;

    explicit EditorAdapter(QWidget* parent);

    QsciScintilla* widget() const { return editor_; }

    Text text() const;
    // Replaces the whole text; the undo history starts afresh and the view returns to the top.
    void setText(const Text& text);
    bool istLeer() const;
    bool faerbt() const { return faerbt_; }

  signals:
    // Every change of the text, by the user or by the program.
    void geaendert();

  private:
    void setzeFaerbung(bool an);

    QsciScintilla* editor_;
    QsciLexerHTML* lexer_;
    bool faerbt_ = false;
};

}  // namespace quintaro::ui
